#!/usr/bin/env python3
"""The fetcher's figures against a loopback server. Usage: web_bench.py BUILD_DIR
Prints fetch_vs_curl, convert_vs_iconv and fetch_peak_memory as NAME ratio=X."""

import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "tests", "servers", "scripted_server.py")
PAGE_SIZE = 64 * 1024 * 1024
RUNS = 5


def chinese_utf8(size, tail=b""):
    """UTF-8 Chinese text with some markup, exactly size bytes, tail at the end."""
    line = ("<p>" + "".join(chr(0x4E00 + (i * 37) % 20000) for i in range(60)) + "</p>\r\n").encode()
    head = b'<html><head><meta charset="utf-8"></head><body>\r\n'
    body_size = size - len(head) - len(tail)
    body = (line * (body_size // len(line) + 1))[:body_size]
    while body and (body[-1] & 0xC0) == 0x80 or body and body[-1] >= 0xC0:
        body = body[:-1]
    body += b" " * (body_size - len(body))
    return head + body + tail


def timed(command, **kwargs):
    """Wall seconds and peak resident bytes of one run of command."""
    start = time.perf_counter()
    process = subprocess.Popen(command, stdout=subprocess.DEVNULL, stderr=subprocess.PIPE, **kwargs)
    _, status, usage = os.wait4(process.pid, 0)
    took = time.perf_counter() - start
    process.returncode = os.waitstatus_to_exitcode(status)
    if process.returncode != 0:
        sys.exit(f"{command[0]} failed with status {process.returncode}: {process.stderr.read().decode()}")
    return took, usage.ru_maxrss * 1024


def best(command):
    return min(timed(command) for _ in range(RUNS))


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    cli = os.path.join(build, "veltrano-cli")
    convert_timer = os.path.join(build, "bench", "convert_timer")
    with tempfile.TemporaryDirectory(prefix="veltrano-bench-") as work:
        page_path = os.path.join(work, "page.html")
        address_tail = b'<script>\r\n        var videoUrl = "http://v.example/end.mp4";\r\n        var defaultImg = "";</script>'
        with open(page_path, "wb") as f:
            f.write(chinese_utf8(PAGE_SIZE, address_tail))
        head = f"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: {PAGE_SIZE}\r\n\r\n"
        script_path = os.path.join(work, "script.json")
        with open(script_path, "w") as f:
            json.dump({"routes": {"/page": [{"send": head}, {"file": page_path}]}}, f)
        server = subprocess.Popen([sys.executable, SERVER, "--script", script_path], stdout=subprocess.PIPE)
        try:
            port = int(server.stdout.readline().split()[1])
            url = f"http://127.0.0.1:{port}/page"
            out = subprocess.run([cli, url], capture_output=True, check=True).stdout
            if out != b"http://v.example/end.mp4\n":
                sys.exit(f"veltrano-cli printed {out[:200]!r}")
            cli_time, cli_peak = best([cli, url])
            curl_time, _ = best(["curl", "-s", "-o", "/dev/null", url])
            peak = max(timed([cli, url])[1] for _ in range(2))
        finally:
            server.terminate()
            server.wait()

        text_path = os.path.join(work, "chinese.txt")
        with open(text_path, "wb") as f:
            f.write(chinese_utf8(PAGE_SIZE))
        convert = min(
            float(subprocess.run([convert_timer, text_path], capture_output=True, check=True, text=True)
                  .stdout.split()[0].split("=")[1]) for _ in range(2))
        iconv_time = min(
            timed(["iconv", "-f", "UTF-8", "-t", "GBK", text_path])[0] for _ in range(RUNS))

    print(f"# veltrano-cli {cli_time:.3f} s, curl {curl_time:.3f} s; ConvertCharset {convert:.3f} s, "
          f"iconv {iconv_time:.3f} s; peak {peak / 2**20:.1f} MiB for a {PAGE_SIZE / 2**20:.0f} MiB page")
    print(f"fetch_vs_curl ratio={cli_time / curl_time:.2f}")
    print(f"convert_vs_iconv ratio={convert / iconv_time:.2f}")
    print(f"fetch_peak_memory ratio={peak / PAGE_SIZE:.2f}")


if __name__ == "__main__":
    main()
