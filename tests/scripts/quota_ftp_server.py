"""An FTP server (pyftpdlib) whose quota has run out: it takes each file
whole, then refuses it as such a server does, with 552 after the data, and
discards it.

Usage: quota_ftp_server.py PORT USER PASSWORD DIRECTORY [REFUSAL]
"""
import logging
import os
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler
from pyftpdlib.servers import FTPServer

REFUSAL = "552 Quota exceeded: the file was discarded."


class QuotaHandler(FTPHandler):
    storing = None

    def ftp_STOR(self, file, mode="w"):
        self.storing = file
        return super().ftp_STOR(file, mode)

    def respond(self, resp, *args, **kwargs):
        # The data connection's "226 Transfer complete." for a stored file.
        if self.storing and resp.startswith("226"):
            resp = self.refusal
        super().respond(resp, *args, **kwargs)

    def on_file_received(self, file):
        self.storing = None
        os.remove(file)


def main():
    port, user, password, directory = sys.argv[1:5]
    QuotaHandler.refusal = (sys.argv[5:] + [REFUSAL])[0]
    logging.basicConfig(level=logging.INFO)
    authorizer = DummyAuthorizer()
    authorizer.add_user(user, password, directory, perm="elradfmwMT")
    QuotaHandler.authorizer = authorizer
    FTPServer(("127.0.0.1", int(port)), QuotaHandler).serve_forever()


if __name__ == "__main__":
    main()
