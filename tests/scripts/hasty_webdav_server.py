"""A WebDAV server that lies: it says no file is there (404 to HEAD), and
to a PUT it answers "201 Created" once it has read a megabyte of the body,
then hangs up without reading the rest.

Usage: hasty_webdav_server.py PORT
"""
import socket
import sys

TAKEN = 1 << 20


def serve(connection):
    request = b""
    while b"\r\n\r\n" not in request:
        chunk = connection.recv(65536)
        if not chunk:
            return
        request += chunk
    head, body = request.split(b"\r\n\r\n", 1)
    if head.startswith(b"PUT"):
        while len(body) < TAKEN:
            chunk = connection.recv(65536)
            if not chunk:
                return
            body += chunk
        connection.sendall(b"HTTP/1.1 201 Created\r\nContent-Length: 0\r\nConnection: close\r\n\r\n")
    else:
        connection.sendall(b"HTTP/1.1 404 Not Found\r\nContent-Length: 0\r\n\r\n")
        serve(connection)


def main():
    listener = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    listener.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    listener.bind(("127.0.0.1", int(sys.argv[1])))
    listener.listen(8)
    while True:
        connection, _ = listener.accept()
        with connection:
            serve(connection)


main()
