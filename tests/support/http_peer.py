#!/usr/bin/env python3
"""A scripted HTTP server on 127.0.0.1 for the network stream tests. It
listens on a free port, prints "port N" and serves every connection the way
its mode says, until its stdin closes. With "--record FILE" first, the head of every request it
reads (up to the empty line) is appended to FILE, requests separated by a
line "----". Every wait is bounded: the server ends itself after a minute.

Modes:
  directory DIR      python's own http.server serving the files of DIR.
  file PATH [TYPE]   200 with Content-Length (and Content-Type TYPE), the file,
                     then close.
  chunked-keep       a chunked reply ("A;x=1" chunk, last chunk), then keep the
                     connection open without a word more.
  raw HEX            send the bytes (those of the file PATH for "@PATH"), then
                     close.
  raw-keep HEX       as raw, then keep the connection open.
  endless-header     a status line, then header lines without end.
  redirect PATH      302 to http://127.0.0.1:PORT/moved for every path except
                     /moved, which is served with the file PATH.
  redirect-relative  302 to the path /moved.
  redirect-loop      302 to the same URL, forever.
  reset-mid          Content-Length 100000, 1000 bytes, then a reset.
  close-mid          Content-Length 100000, 1000 bytes, then an orderly close.
  silent             accept, read the request and never answer.
  trickle PATH [FIRST [INTERVAL_MS]]
                     200 with Content-Length, the file's first FIRST bytes
                     (default 0) at once, then 100 bytes every INTERVAL_MS
                     (default 100).
"""
import os
import signal
import socket
import struct
import sys
import threading
import time

signal.alarm(60)
args = sys.argv[1:]
record = None
if args[:1] == ["--record"]:
    record = args[1]
    args = args[2:]
mode = args[0]
if mode == "directory":
    import functools
    import http.server

    handler = functools.partial(http.server.SimpleHTTPRequestHandler, directory=args[1])
    handler.log_message = lambda *unused: None
    server = http.server.ThreadingHTTPServer(("127.0.0.1", 0), handler)
    print("port", server.server_address[1], flush=True)
    threading.Thread(target=server.serve_forever, daemon=True).start()
    sys.stdin.read()
    os._exit(0)
listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(16)
port = listener.getsockname()[1]
print("port", port, flush=True)
record_lock = threading.Lock()


def end_with_stdin():
    # The test closes our stdin when it is done with us.
    sys.stdin.read()
    os._exit(0)


threading.Thread(target=end_with_stdin, daemon=True).start()


def read_head(conn):
    data = b""
    while b"\r\n\r\n" not in data:
        chunk = conn.recv(4096)
        if not chunk:
            break
        data += chunk
    head = data.split(b"\r\n\r\n")[0]
    if record:
        with record_lock, open(record, "ab") as out:
            out.write(head + b"\r\n----\r\n")
    return head


def keep_open(conn):
    try:
        while conn.recv(4096):
            pass
    except OSError:
        pass


def reset(conn):
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    conn.close()


def send_file(conn, path, content_type=None):
    with open(path, "rb") as source:
        body = source.read()
    head = b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n" % len(body)
    if content_type:
        head += b"Content-Type: " + content_type.encode() + b"\r\n"
    conn.sendall(head + b"\r\n")
    view = memoryview(body)
    for at in range(0, len(body), 1 << 20):
        conn.sendall(view[at:at + (1 << 20)])


def serve(conn):
    head = read_head(conn)
    target = head.split(b" ")[1] if head.count(b" ") >= 2 else b"/"
    if mode == "file":
        send_file(conn, args[1], args[2] if len(args) > 2 else None)
    elif mode == "chunked-keep":
        conn.sendall(b"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\nA;x=1\r\n0123456789\r\n0\r\n\r\n")
        keep_open(conn)
    elif mode in ("raw", "raw-keep"):
        if args[1].startswith("@"):
            with open(args[1][1:], "rb") as source:
                conn.sendall(source.read())
        else:
            conn.sendall(bytes.fromhex(args[1]))
        if mode == "raw-keep":
            keep_open(conn)
    elif mode == "endless-header":
        conn.sendall(b"HTTP/1.1 200 OK\r\n")
        try:
            while True:
                conn.sendall(b"X-Filler: " + b"v" * 1000 + b"\r\n")
        except OSError:
            pass
    elif mode == "redirect":
        if target.endswith(b"/moved"):
            send_file(conn, args[1])
        else:
            conn.sendall(b"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:%d/moved\r\n"
                         b"Content-Length: 5\r\n\r\nstale" % port)
    elif mode == "redirect-relative":
        conn.sendall(b"HTTP/1.1 302 Found\r\nLocation: /moved\r\nContent-Length: 0\r\n\r\n")
    elif mode == "redirect-loop":
        conn.sendall(b"HTTP/1.1 302 Found\r\nLocation: http://127.0.0.1:%d/again\r\n"
                     b"Content-Length: 0\r\n\r\n" % port)
    elif mode in ("reset-mid", "close-mid"):
        conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: 100000\r\n\r\n" + b"x" * 1000)
        time.sleep(0.2)
        if mode == "reset-mid":
            reset(conn)
            return
    elif mode == "silent":
        keep_open(conn)
    elif mode == "trickle":
        with open(args[1], "rb") as source:
            body = source.read()
        first = int(args[2]) if len(args) > 2 else 0
        interval = int(args[3]) / 1000.0 if len(args) > 3 else 0.1
        conn.sendall(b"HTTP/1.1 200 OK\r\nContent-Length: %d\r\n\r\n" % len(body) + body[:first])
        for at in range(first, len(body), 100):
            conn.sendall(body[at:at + 100])
            time.sleep(interval)
    conn.close()


def serve_safely(conn):
    try:
        serve(conn)
    except OSError:
        pass


while True:
    connection, _ = listener.accept()
    threading.Thread(target=serve_safely, args=(connection,), daemon=True).start()
