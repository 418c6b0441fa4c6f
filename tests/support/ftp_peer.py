#!/usr/bin/env python3
"""A scripted FTP control server on 127.0.0.1 for the FTP client tests. It
listens on a free port, prints "port N" and plays its steps to every
connection, each on a thread of its own, until its stdin closes. With
"--record FILE" first, every byte a client sends is appended to FILE. Every
wait is bounded: the server ends itself after a minute.

Steps, in order; the first is sent as soon as a client connects, each later
one after the next command line arrives:
  TEXT         reply lines ("|" separates lines), each sent with CR LF.
  hex:HEX      raw bytes, sent at once without waiting for a command; the
               next step follows at once as well.
  silent       say nothing more and keep the connection open.
  unended:N    N bytes "x" without a line end, then keep the connection open.
  close        close the connection.
  pasv:HEX     a 227 reply naming a new data listener, which accepts one
               connection, sends the bytes and closes it.
  pasv-reset:N the same with N bytes, then a reset instead of the close.
  pasv-stall:N the same with N bytes, then the data connection stays open.
After the last step the server answers nothing more and keeps the connection
open until the client closes it.
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
steps = args

listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
listener.bind(("127.0.0.1", 0))
listener.listen(16)
print("port", listener.getsockname()[1], flush=True)


def end_with_stdin():
    sys.stdin.read()
    os._exit(0)


threading.Thread(target=end_with_stdin, daemon=True).start()


class Reader:
    def __init__(self, conn):
        self.conn = conn
        self.data = b""

    def command(self):
        while b"\r\n" not in self.data:
            chunk = self.conn.recv(4096)
            if not chunk:
                return False
            if record:
                with open(record, "ab") as out:
                    out.write(chunk)
            self.data += chunk
        self.data = self.data.split(b"\r\n", 1)[1]
        return True

    def drain(self):
        try:
            while self.command():
                pass
        except OSError:
            pass


def offer_data(payload, end):
    data = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    data.bind(("127.0.0.1", 0))
    data.listen(1)
    data.settimeout(30)
    port = data.getsockname()[1]

    def send():
        try:
            conn, _ = data.accept()
            conn.sendall(payload)
            if end == "stall":
                time.sleep(60)
            if end == "reset":
                conn.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
            conn.close()
        except OSError:
            pass
        data.close()

    threading.Thread(target=send, daemon=True).start()
    return "227 Entering Passive Mode (127,0,0,1,%d,%d)\r\n" % (port >> 8, port & 255)


def serve(conn):
    reader = Reader(conn)
    replied = False
    for step in steps:
        if step.startswith("hex:"):
            conn.sendall(bytes.fromhex(step[4:]))
            continue
        if replied and not reader.command():
            return
        replied = True
        if step == "silent":
            break
        elif step.startswith("unended:"):
            conn.sendall(b"x" * int(step[8:]))
            break
        elif step == "close":
            conn.close()
            return
        elif step.startswith("pasv:"):
            conn.sendall(offer_data(bytes.fromhex(step[5:]), "close").encode())
        elif step.startswith("pasv-reset:"):
            conn.sendall(offer_data(b"r" * int(step[11:]), "reset").encode())
        elif step.startswith("pasv-stall:"):
            conn.sendall(offer_data(b"s" * int(step[11:]), "stall").encode())
        else:
            conn.sendall(b"".join(line.encode() + b"\r\n" for line in step.split("|")))
    reader.drain()
    conn.close()


def serve_quietly(conn):
    try:
        serve(conn)
    except OSError:
        conn.close()


while True:
    conn, _ = listener.accept()
    threading.Thread(target=serve_quietly, args=(conn,), daemon=True).start()
