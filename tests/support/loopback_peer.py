#!/usr/bin/env python3
"""A TCP peer on 127.0.0.1 for the socket tests. It listens on a free port,
prints "port N", accepts one connection and then acts as its mode says.
Every wait is bounded: the peer ends by itself after at most a minute.

Modes:
  echo-late DELAY_MS COPY_FILE  wait DELAY_MS before reading, read until the
                                other side stops sending, keep what came in
                                COPY_FILE, send it all back and close.
  reset                         close at once with a reset (SO_LINGER 0).
  script                        follow commands from stdin, one a line:
                                  send HEX   send the bytes, answer "sent"
                                  recv N     read N bytes, answer their hex
                                  close      close orderly, answer "closed"
                                  reset      close with a reset
                                and answer "error TEXT" when a read fails.
"""
import signal
import socket
import struct
import sys
import time

signal.alarm(60)
listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.bind(("127.0.0.1", 0))
listener.listen(1)
listener.settimeout(30)
print("port", listener.getsockname()[1], flush=True)
conn, _ = listener.accept()
conn.settimeout(30)


def reset_close():
    conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    conn.close()


def recv_exactly(count):
    data = b""
    while len(data) < count:
        chunk = conn.recv(count - len(data))
        if not chunk:
            raise EOFError("closed after %d bytes" % len(data))
        data += chunk
    return data


mode = sys.argv[1]
if mode == "echo-late":
    time.sleep(int(sys.argv[2]) / 1000.0)
    parts = []
    while True:
        chunk = conn.recv(1 << 16)
        if not chunk:
            break
        parts.append(chunk)
    data = b"".join(parts)
    with open(sys.argv[3], "wb") as copy:
        copy.write(data)
    conn.sendall(data)
    conn.close()
elif mode == "reset":
    reset_close()
elif mode == "script":
    for line in sys.stdin:
        words = line.split()
        if not words:
            continue
        try:
            if words[0] == "send":
                conn.sendall(bytes.fromhex(words[1]))
                print("sent", flush=True)
            elif words[0] == "recv":
                print(recv_exactly(int(words[1])).hex() or "-", flush=True)
            elif words[0] == "close":
                conn.close()
                print("closed", flush=True)
            elif words[0] == "reset":
                reset_close()
                print("closed", flush=True)
        except (OSError, EOFError) as failure:
            print("error", failure, flush=True)
