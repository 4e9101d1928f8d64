#!/usr/bin/env python3
"""The fetcher's figures against a loopback server. Usage: web_bench.py BUILD_DIR
Prints fetch_vs_curl, store_floor_vs_curl, fetch_vs_store_floor, convert_vs_iconv
and fetch_peak_memory as NAME ratio=X.

fetch_vs_curl times veltrano-cli and curl on the same 64 MiB GBK page (Chinese
text in GBK with markup, no "utf-8" in its first 500 bytes nor in the headers,
the video address at the end), served the same way to both: the fetch itself,
without a charset conversion that curl would not do. curl keeps nothing; any
program that keeps the page pays for the memory it stores it in, and for a
search through it. So store_floor_vs_curl times, against the same curl, a bare
program that only downloads the page with libcurl into a text reserved from
Content-Length and finds the address with memmem: the floor of a fetch that
keeps the page; fetch_vs_store_floor sets veltrano-cli against that floor.
fetch_peak_memory measures
veltrano-cli on the 64 MiB UTF-8 page, which is converted; convert_vs_iconv
times the conversion alone on 64 MiB of UTF-8 Chinese text."""

import json
import os
import subprocess
import sys
import tempfile
import time

HERE = os.path.dirname(os.path.abspath(__file__))
SERVER = os.path.join(HERE, "..", "tests", "servers", "scripted_server.py")
PAGE_SIZE = 64 * 1024 * 1024
RUNS = 7


def write_chinese_page(path, size, encoding, tail=b""):
    """Chinese text with some markup in encoding ("utf-8" or "gbk"), exactly size bytes, tail at the end.
    Written a block at a time: this process stays small, so the peak resident size
    the kernel reports for a program it starts (which counts this process's peak
    up to the start) is the program's own."""
    line = ("<p>" + "".join(chr(0x4E00 + (i * 37) % 20000) for i in range(60)) + "</p>\r\n").encode(encoding)
    head = f'<html><head><meta charset="{encoding}"></head><body>\r\n'.encode()
    body_size = size - len(head) - len(tail)
    block = line * (1024 * 1024 // len(line))
    with open(path, "wb") as f:
        f.write(head)
        left = body_size
        while left >= len(line):
            # Whole lines only; the rest up to the size in spaces, so no character is cut in two.
            part = block[:left // len(line) * len(line)]
            f.write(part)
            left -= len(part)
        f.write(b" " * left + tail)
    return path


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


def best_alternating(*commands):
    """Best wall time of each command, run by turns so all meet the same load on a shared machine."""
    times = [[] for _ in commands]
    for _ in range(RUNS):
        for command, taken in zip(commands, times):
            taken.append(timed(command)[0])
    return [min(taken) for taken in times]


def main():
    if len(sys.argv) != 2:
        sys.exit(__doc__)
    build = os.path.abspath(sys.argv[1])
    cli = os.path.join(build, "veltrano-cli")
    convert_timer = os.path.join(build, "bench", "convert_timer")
    store_floor = os.path.join(build, "bench", "store_floor")
    with tempfile.TemporaryDirectory(prefix="veltrano-bench-") as work:
        address_tail = b'<script>\r\n        var videoUrl = "http://v.example/end.mp4";\r\n        var defaultImg = "";</script>'
        pages = {"/gbk": write_chinese_page(os.path.join(work, "gbk.html"), PAGE_SIZE, "gbk", address_tail),
                 "/utf8": write_chinese_page(os.path.join(work, "utf8.html"), PAGE_SIZE, "utf-8", address_tail)}
        with open(pages["/gbk"], "rb") as f:
            assert b"utf-8" not in f.read(500).lower()
        head = f"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: {PAGE_SIZE}\r\n\r\n"
        script_path = os.path.join(work, "script.json")
        with open(script_path, "w") as f:
            json.dump({"routes": {route: [{"send": head}, {"file": path}] for route, path in pages.items()}}, f)
        server = subprocess.Popen([sys.executable, SERVER, "--script", script_path], stdout=subprocess.PIPE)
        try:
            port = int(server.stdout.readline().split()[1])
            gbk_url = f"http://127.0.0.1:{port}/gbk"
            utf8_url = f"http://127.0.0.1:{port}/utf8"
            for command in ([cli, gbk_url], [cli, utf8_url], [store_floor, gbk_url]):
                out = subprocess.run(command, capture_output=True, check=True).stdout
                if out != b"http://v.example/end.mp4\n":
                    sys.exit(f"{command[0]} printed {out[:200]!r} for {command[1]}")
            cli_time, curl_time, floor_time = best_alternating(
                [cli, gbk_url], ["curl", "-s", "-o", "/dev/null", gbk_url], [store_floor, gbk_url])
            peak = max(timed([cli, utf8_url])[1] for _ in range(2))
        finally:
            server.terminate()
            server.wait()

        text_path = write_chinese_page(os.path.join(work, "chinese.txt"), PAGE_SIZE, "utf-8")
        convert = min(
            float(subprocess.run([convert_timer, text_path], capture_output=True, check=True, text=True)
                  .stdout.split()[0].split("=")[1]) for _ in range(2))
        iconv_time = min(
            timed(["iconv", "-f", "UTF-8", "-t", "GBK", text_path])[0] for _ in range(RUNS))

    print(f"# veltrano-cli {cli_time:.3f} s, curl {curl_time:.3f} s, store_floor {floor_time:.3f} s on the GBK page; "
          f"ConvertCharset {convert:.3f} s, "
          f"iconv {iconv_time:.3f} s; peak {peak / 2**20:.1f} MiB on the UTF-8 page of {PAGE_SIZE / 2**20:.0f} MiB")
    print(f"fetch_vs_curl ratio={cli_time / curl_time:.2f}")
    print(f"store_floor_vs_curl ratio={floor_time / curl_time:.2f}")
    print(f"fetch_vs_store_floor ratio={cli_time / floor_time:.2f}")
    print(f"convert_vs_iconv ratio={convert / iconv_time:.2f}")
    print(f"fetch_peak_memory ratio={peak / PAGE_SIZE:.2f}")


if __name__ == "__main__":
    main()
