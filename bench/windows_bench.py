#!/usr/bin/env python3
"""The Windows build's figures. Usage: windows_bench.py WINDOWS_BUILD NATIVE_BUILD
Prints exe_size_kib (the stripped veltrano.exe) as NAME value=X, and
wine_fetch_vs_linux (FetchPage of a 16 MiB UTF-8 page from a loopback server,
timed inside the process: the Windows build under Wine over the Linux build,
best of fifteen each, taken by turns) as NAME ratio=X."""

import json
import os
import subprocess
import sys
import tempfile

HERE = os.path.dirname(os.path.abspath(__file__))
sys.path.insert(0, HERE)
from web_bench import SERVER, write_chinese_page  # noqa: E402

WINE_RUN = os.path.join(HERE, "..", "cmake", "wine-run.sh")
PAGE_SIZE = 16 * 1024 * 1024
RUNS = "5"  # fetches inside one process
TURNS = 3  # processes of each build, by turns


def fetch_seconds(command):
    out = subprocess.run(command, capture_output=True, check=True, text=True).stdout
    fields = dict(field.split("=") for field in out.split())
    return float(fields["seconds"]), int(fields["bytes"])


def main():
    if len(sys.argv) != 3:
        sys.exit(__doc__)
    windows, native = (os.path.abspath(path) for path in sys.argv[1:])
    with tempfile.TemporaryDirectory(prefix="veltrano-bench-") as work:
        stripped = os.path.join(work, "veltrano.exe")
        subprocess.run(["i686-w64-mingw32-strip", "-o", stripped,
                        os.path.join(windows, "veltrano.exe")], check=True)
        size_kib = os.path.getsize(stripped) / 1024

        page_path = os.path.join(work, "page.html")
        tail = b'<script>\r\n        var videoUrl = "http://v.example/end.mp4";\r\n        var defaultImg = "";</script>'
        write_chinese_page(page_path, PAGE_SIZE, "utf-8", tail)
        head = f"HTTP/1.1 200 OK\r\nContent-Type: text/html\r\nContent-Length: {PAGE_SIZE}\r\n\r\n"
        script_path = os.path.join(work, "script.json")
        with open(script_path, "w") as f:
            json.dump({"routes": {"/page": [{"send": head}, {"file": page_path}]}}, f)
        server = subprocess.Popen([sys.executable, SERVER, "--script", script_path], stdout=subprocess.PIPE)
        try:
            port = int(server.stdout.readline().split()[1])
            url = f"http://127.0.0.1:{port}/page"
            linux_command = [os.path.join(native, "bench", "fetch_timer"), url, RUNS]
            wine_command = [WINE_RUN, "--prefix", os.path.join(windows, "wine-prefix"),
                            os.path.join(windows, "bench", "fetch_timer.exe"), url, RUNS]
            # By turns, so both meet the same load of a shared machine; the best of each.
            linux = wine = float("inf")
            for _ in range(TURNS):
                linux_time, linux_bytes = fetch_seconds(linux_command)
                wine_time, wine_bytes = fetch_seconds(wine_command)
                linux, wine = min(linux, linux_time), min(wine, wine_time)
        finally:
            server.terminate()
            server.wait()
    if wine_bytes != linux_bytes:
        sys.exit(f"the two builds gave pages of {wine_bytes} and {linux_bytes} bytes")
    print(f"# stripped veltrano.exe {size_kib:.0f} KiB; FetchPage of a {PAGE_SIZE / 2**20:.0f} MiB UTF-8 page: "
          f"Wine {wine:.3f} s, Linux {linux:.3f} s ({linux_bytes} bytes of GBK)")
    print(f"exe_size_kib value={size_kib:.0f}")
    print(f"wine_fetch_vs_linux ratio={wine / linux:.2f}")


if __name__ == "__main__":
    main()
