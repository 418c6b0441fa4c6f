#!/usr/bin/env python3
"""A real FTP server (pyftpdlib) on 127.0.0.1 for the FTP stream tests. It
serves FOLDER to anonymous users and to the user "alice" with the password
"s3cret", listens on a free port, prints "port N" and ends when its stdin
closes (or after ten minutes).

Usage: ftpd_peer.py FOLDER
"""
import logging
import os
import signal
import sys
import threading

try:
    from pyftpdlib.authorizers import DummyAuthorizer
except ImportError:
    # Debian's package belongs to Debian's python3, which may not be the
    # first one on the PATH.
    if sys.executable != "/usr/bin/python3" and os.path.exists("/usr/bin/python3"):
        os.execv("/usr/bin/python3", ["/usr/bin/python3"] + sys.argv)
    raise
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

signal.alarm(600)
logging.disable(logging.CRITICAL)
folder = sys.argv[1]
authorizer = DummyAuthorizer()
authorizer.add_anonymous(folder)
authorizer.add_user("alice", "s3cret", folder, perm="elr")
handler = FTPHandler
handler.authorizer = authorizer
handler.banner = "ready"
server = FTPServer(("127.0.0.1", 0), handler)
print("port", server.socket.getsockname()[1], flush=True)


def end_with_stdin():
    sys.stdin.read()
    os._exit(0)


threading.Thread(target=end_with_stdin, daemon=True).start()
server.serve_forever()
