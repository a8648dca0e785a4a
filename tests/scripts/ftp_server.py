"""An FTP server (pyftpdlib) for one test, in one of several ways a real
server behaves:

  plain      no encryption (AUTH is refused)
  offered    explicit TLS offered, not required
  required   explicit TLS required for the login and the data
  demanding  refuses AUTH, yet wants an encrypted login: no way to agree
  halfway    explicit TLS for the login, never for the data (PROT P refused)
  boasting   plain, and its login reply holds a line that starts "234-"
  confused   plain, and its answer to PASV and EPSV is no answer to them

Usage: ftp_server.py MODE HOST PORT USER PASSWORD DIRECTORY [CERT KEY]
"""
import logging
import sys

from pyftpdlib.authorizers import DummyAuthorizer
from pyftpdlib.handlers import FTPHandler, TLS_DTPHandler, TLS_FTPHandler
from pyftpdlib.servers import FTPServer


class DataHandler(TLS_DTPHandler):
    # pyftpdlib 1.5.7 reads nothing on a data connection before the
    # transfer command, so a client that starts TLS on it at once (as
    # libcurl does) hangs up; later releases read during the handshake.
    def readable(self):
        return self._ssl_accepting or super().readable()


class DemandingHandler(FTPHandler):
    def ftp_AUTH(self, line):
        self.respond("504 AUTH not available.")

    def ftp_USER(self, line):
        self.respond("530 Non-anonymous sessions must use encryption.")


def handler(mode, cert, key):
    if mode in ("plain", "boasting"):
        return FTPHandler
    if mode == "confused":
        FTPHandler.ftp_PASV = FTPHandler.ftp_EPSV = lambda self, line: self.respond("200 Command okay.")
        return FTPHandler
    if mode == "demanding":
        return DemandingHandler
    tls = TLS_FTPHandler
    if mode == "halfway":
        tls.ftp_PROT = lambda self, line: self.respond("536 PROT P not supported.")
    tls.dtp_handler = DataHandler
    tls.certfile, tls.keyfile = cert, key
    tls.tls_control_required = tls.tls_data_required = mode == "required"
    return tls


def main():
    mode, host, port, user, password, directory = sys.argv[1:7]
    cert, key = (sys.argv[7:9] + [None, None])[:2]
    logging.basicConfig(level=logging.DEBUG)
    authorizer = DummyAuthorizer()
    # Longer than a line, so pyftpdlib sends it as a reply of several.
    login = "Login successful." + ("\r\n234-Security data exchange complete." + " " * 40) * (mode == "boasting")
    authorizer.add_user(user, password, directory, perm="elradfmwMT", msg_login=login)
    chosen = handler(mode, cert, key)
    chosen.authorizer = authorizer
    FTPServer((host, int(port)), chosen).serve_forever()


if __name__ == "__main__":
    main()
