#!/usr/bin/env python3
"""The real program under Xvfb (800 x 600) with openbox: type a loopback page
address, click 解析并复制, find the video address on the real clipboard, close
the confirmation, check the window's place and pixels, press Escape, expect exit
code 0.

Usage: window_e2e.py PROGRAM SCREENSHOT_OUT
"""
import json
import os
import subprocess
import sys
import shutil
import tempfile
import time

# Client rectangles of the controls the test touches or looks at.
PARSE_BUTTON = (424, 24, 96, 32)
RESULT_BOX = (80, 64, 432, 24)
ADDRESS_BOX = (80, 24, 320, 32)
CAPTION = "VeltranoV1.0"


def fail(message):
    print("FAIL: " + message, flush=True)
    sys.exit(1)


def wait_for(what, probe, timeout=15.0):
    deadline = time.monotonic() + timeout
    while time.monotonic() < deadline:
        value = probe()
        if value:
            return value
        time.sleep(0.05)
    fail("timed out waiting for " + what)


SERVERS = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "servers")


def start_page_server(scratch, page_path, video_address):
    """The scripted loopback server, answering page_path with a player page."""
    body = ("<html><script>\r\n        var videoUrl = \"" + video_address +
            "\";\r\n        var defaultImg = \"poster.jpg\";\r\n</script></html>")
    answer = ("HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=gbk\r\n"
              f"Content-Length: {len(body)}\r\n\r\n{body}")
    script = os.path.join(scratch, "script.json")
    with open(script, "w") as out:
        json.dump({"routes": {page_path: [{"send": answer}]}}, out)
    server = subprocess.Popen([sys.executable, os.path.join(SERVERS, "scripted_server.py"), "--script", script],
                              stdout=subprocess.PIPE, text=True)
    first = server.stdout.readline().split()
    if len(first) != 2 or first[0] != "port":
        fail("the scripted server did not start")
    return server, int(first[1])


def start_xvfb():
    read_end, write_end = os.pipe()
    xvfb = subprocess.Popen(["Xvfb", "-displayfd", str(write_end), "-screen", "0", "800x600x24", "-nolisten", "tcp"],
                            pass_fds=(write_end,), stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    os.close(write_end)
    with os.fdopen(read_end) as pipe:
        number = pipe.readline().strip()
    if not number:
        fail("Xvfb did not start")
    return xvfb, ":" + number


def x(env, *command):
    return subprocess.run(command, env=env, capture_output=True, text=True, timeout=20)


def client_origin(env, window):
    info = x(env, "xwininfo", "-id", window).stdout
    fields = dict(line.strip().split(":", 1) for line in info.splitlines() if ":" in line)
    return int(fields["Absolute upper-left X"]), int(fields["Absolute upper-left Y"])


def read_pixels(png, left, top, width, height):
    """The rectangle as rows of (r, g, b), through ImageMagick's PPM output."""
    ppm = subprocess.run(["convert", png, "-crop", f"{width}x{height}+{left}+{top}", "+repage", "-depth", "8",
                          "ppm:-"], capture_output=True, check=True).stdout
    parts = ppm.split(maxsplit=4)
    w, h, data = int(parts[1]), int(parts[2]), parts[4]
    return [[tuple(data[(y * w + i) * 3:(y * w + i) * 3 + 3]) for i in range(w)] for y in range(h)]


def main():
    program, screenshot = sys.argv[1], sys.argv[2]
    scratch = tempfile.mkdtemp(prefix="veltrano-e2e-")
    page_path = "/play/1234.html"
    video_address = "http://127.0.0.1/media/clip-01.mp4"
    processes = []
    try:
        server, port = start_page_server(scratch, page_path, video_address)
        processes.append(server)
        xvfb, display = start_xvfb()
        processes.append(xvfb)
        env = {k: v for k, v in os.environ.items() if k not in ("QT_QPA_PLATFORM", "WAYLAND_DISPLAY")}
        env["DISPLAY"] = display
        openbox = subprocess.Popen(["openbox"], env=env, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        processes.append(openbox)
        wait_for("openbox", lambda: "window id" in x(env, "xprop", "-root", "_NET_SUPPORTING_WM_CHECK").stdout)

        app = subprocess.Popen([program], env=env, stdout=subprocess.PIPE, stderr=subprocess.STDOUT, text=True)
        processes.append(app)
        window = wait_for("the main window",
                          lambda: x(env, "xdotool", "search", "--onlyvisible", "--name", CAPTION).stdout.split())[0]
        wait_for("the window to be active", lambda: x(env, "xdotool", "getactivewindow").stdout.strip() == window)

        # The caret stands in 编辑框1 from the start: type straight away.
        page = f"http://127.0.0.1:{port}{page_path}"
        x(env, "xdotool", "type", "--delay", "10", page)
        left, top = client_origin(env, window)
        frame = x(env, "xprop", "-id", window, "_NET_FRAME_EXTENTS").stdout
        fl, fr, ft, fb = (int(v) for v in frame.split("=")[1].split(","))
        if (left - fl, top - ft) != (132, 239):
            fail(f"the window's frame starts at {left - fl}, {top - ft}, not centred at 132, 239")
        if "Icon (64 x 64)" not in x(env, "xprop", "-id", window, "_NET_WM_ICON").stdout:
            fail("the window carries no 64 x 64 application icon")
        bx, by, bw, bh = PARSE_BUTTON
        x(env, "xdotool", "mousemove", str(left + bx + bw // 2), str(top + by + bh // 2), "click", "1")

        box = wait_for("the 信息： box",
                       lambda: x(env, "xdotool", "search", "--onlyvisible", "--name", "信息：").stdout.split())[0]
        clipboard = x(env, "xclip", "-o", "-selection", "clipboard").stdout
        if clipboard != video_address:
            fail(f"clipboard holds {clipboard!r}, expected {video_address!r}")
        print("clipboard:", clipboard)

        wait_for("the box to be active", lambda: x(env, "xdotool", "getactivewindow").stdout.strip() == box)
        x(env, "xdotool", "key", "Return")
        wait_for("the box to close",
                 lambda: not x(env, "xdotool", "search", "--onlyvisible", "--name", "信息：").stdout.split())
        wait_for("the window to be active again",
                 lambda: x(env, "xdotool", "getactivewindow").stdout.strip() == window)
        time.sleep(0.3)  # let the window repaint after the box

        root = os.path.join(scratch, "root.png")
        x(env, "import", "-window", "root", root)
        # 编辑框2 holds the address now, yet its white base and text must not show anywhere.
        rx, ry, rw, rh = RESULT_BOX
        result_area = read_pixels(root, left + rx, top + ry, rw, rh)
        white = sum(1 for row in result_area for p in row if min(p) > 250)
        dark = sum(1 for row in result_area for p in row if sum(p) < 300)
        if white:
            fail(f"{white} white pixels of the result box show through the notice")
        if dark < 200:
            fail(f"the notice's text is not drawn ({dark} dark pixels)")
        ax, ay, aw, ah = ADDRESS_BOX
        address_area = read_pixels(root, left + ax, top + ay, aw, ah)
        if sum(1 for row in address_area for p in row if min(p) > 250) < aw * ah // 2:
            fail("the screenshot does not show the address box where expected")
        print(f"notice: {dark} dark pixels, result box: {white} white pixels")
        # The window with its frame, for the README.
        subprocess.run(["convert", root, "-crop", f"{530 + fl + fr}x{92 + ft + fb}+{left - fl}+{top - ft}",
                        "+repage", screenshot], check=True)

        x(env, "xdotool", "key", "Escape")
        try:
            code = app.wait(timeout=10)
        except subprocess.TimeoutExpired:
            fail("Escape did not end the program")
        if code != 0:
            fail(f"exit code {code}; output:\n{app.stdout.read()}")
        print("exit code 0")
    finally:
        for process in reversed(processes):
            if process.poll() is None:
                process.terminate()
                try:
                    process.wait(timeout=5)
                except subprocess.TimeoutExpired:
                    process.kill()
        shutil.rmtree(scratch, ignore_errors=True)


if __name__ == "__main__":
    main()
