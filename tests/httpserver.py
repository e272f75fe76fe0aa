#!/usr/bin/env python3
"""A small HTTP server for the download tests, on 127.0.0.1 only.

Usage: httpserver.py ROOT [CERTIFICATE]

Serves the files under ROOT and, below /fault/, answers that go wrong in
chosen ways. A request for a whole address (as a client sends it to a proxy)
is answered for its path, so the server stands in for a proxy too. Ends when
its standard input closes, so it never outlives the test that started it.

Listens on ephemeral ports, each told on a line before the last:
  PORT6 <n>    the same on [::1]
  PROXY <n>    a proxy on 127.0.0.1 that wants the user "user" with the password
               "pass" (407 otherwise), answers plain requests for their path as
               above and tunnels CONNECT to 127.0.0.1 or [::1] only
  TLS <n>      the same over TLS with CERTIFICATE (a PEM with its key), when given
  PORT <n>     127.0.0.1, the last line before the requests
Then "GET <path>" for every request, and "CONNECT <host:port>" for every tunnel,
each after the line "Proxy-Authorization: <value>" when the request carries one.

Fault paths:
  /fault/status/<code>                   that status with a short body (204: none)
  /fault/stall?seconds=S                 no response at all for S seconds
  /fault/stall-body?seconds=S            headers and part of the body, then silence
  /fault/truncated?declared=N&sent=M     Content-Length N, M bytes, connection closed
  /fault/bytes?n=N                       N bytes with Content-Length
  /fault/chunked?n=N[&ext=1]             N bytes chunked, without Content-Length (with chunk
                                         extensions and a trailer when told)
  /fault/until-close?n=N                 N bytes without Content-Length, then the connection closed
  /fault/continue                        "100 Continue" first, then a short body
  /fault/headers?n=N                     N header lines, then a short body
  /fault/two-lengths                     two Content-Length headers that disagree
  /fault/not-http                        an answer that is no HTTP at all
  /fault/trickle?n=N&interval=S          N bytes, one every S seconds
  /fault/endless-headers[?interval=S]    a status line, then header lines without end
                                         (one every S seconds; as fast as they go unless told)
  /fault/interim?n=N&interval=S          N interim answers "100 Continue", one every S
                                         seconds, then a short body
  /fault/host                            the request's Host header as the body
  /fault/encoded?path=P                  the file at P, said to be gzip-encoded
  /fault/redirect?to=URL[&code=C]        a redirect (302 unless told) to URL
  /fault/notxml                          a plain-text body
  /fault/cut?path=P&sent=M               the first M bytes of the file at P, without
                                         Content-Length, then the connection closed
"""

import base64
import http.server
import os
import select
import socket
import ssl
import sys
import threading
import time
import urllib.parse

MAX_STALL_SECONDS = 60


class Handler(http.server.SimpleHTTPRequestHandler):
    protocol_version = "HTTP/1.1"

    def log_message(self, format, *args):
        pass

    # Set on the proxy's handler: the Proxy-Authorization it wants.
    proxy_credentials = None

    def log_proxy_authorization(self):
        for value in self.headers.get_all("Proxy-Authorization") or []:
            print("Proxy-Authorization: " + value, flush=True)

    def proxy_refused(self):
        self.log_proxy_authorization()
        if self.proxy_credentials is None:
            return False
        wanted = "Basic " + base64.b64encode(self.proxy_credentials).decode()
        if self.headers.get("Proxy-Authorization") == wanted:
            return False
        self.send_response(407)
        self.send_header("Proxy-Authenticate", 'Basic realm="harovan"')
        self.send_header("Content-Length", "0")
        self.end_headers()
        return True

    def do_CONNECT(self):
        if self.proxy_credentials is None:
            return self.send_body(405, b"no proxy here\n")
        if self.proxy_refused():
            return
        print("CONNECT " + self.path, flush=True)
        host, _, port = self.path.rpartition(":")
        host = host.strip("[]")
        if host not in ("127.0.0.1", "::1"):
            return self.send_body(403, b"loopback only\n")
        try:
            upstream = socket.create_connection((host, int(port)))
        except OSError:
            return self.send_body(502, b"no connection\n")
        self.send_response(200, "Connection established")
        self.end_headers()
        self.wfile.flush()
        ends = [self.connection, upstream]
        try:
            while True:
                readable, _, _ = select.select(ends, [], [], MAX_STALL_SECONDS)
                if not readable:
                    break
                for end in readable:
                    data = end.recv(65536)
                    if not data:
                        return
                    (upstream if end is self.connection else self.connection).sendall(data)
        except OSError:
            pass
        finally:
            upstream.close()
            self.close_connection = True

    def do_GET(self):
        if self.proxy_refused():
            return
        print("GET " + self.path, flush=True)
        url = urllib.parse.urlsplit(self.path)
        if url.scheme:
            self.path = urllib.parse.urlunsplit(("", "", url.path, url.query, ""))
        if not url.path.startswith("/fault/"):
            return super().do_GET()
        try:
            self.answer_fault(url.path[len("/fault/"):], urllib.parse.parse_qs(url.query))
        except (BrokenPipeError, ConnectionResetError):
            # The client gave up (a time-out or a size cap): nothing to answer.
            self.close_connection = True

    def answer_fault(self, fault, query):
        def number(name, default):
            return int(query.get(name, [default])[0])

        if fault.startswith("status/"):
            status = int(fault[len("status/"):])
            if status == 204:
                self.send_response(status)
                self.end_headers()
            else:
                self.send_body(status, b"fault status\n")
        elif fault == "stall":
            time.sleep(min(number("seconds", 10), MAX_STALL_SECONDS))
            self.close_connection = True
        elif fault == "stall-body":
            self.send_response(200)
            self.send_header("Content-Length", "100")
            self.end_headers()
            self.wfile.write(b"0123456789")
            self.wfile.flush()
            time.sleep(min(number("seconds", 10), MAX_STALL_SECONDS))
            self.close_connection = True
        elif fault == "truncated":
            sent = number("sent", 10)
            self.send_response(200)
            self.send_header("Content-Length", str(number("declared", 1000)))
            self.end_headers()
            self.wfile.write(b"t" * sent)
            self.close_connection = True
        elif fault == "bytes":
            self.send_body(200, b"b" * number("n", 0))
        elif fault == "chunked":
            remaining = number("n", 0)
            self.send_response(200)
            self.send_header("Transfer-Encoding", "chunked")
            self.end_headers()
            extension, trailer = (b";name=value", b"X-Trailer: t\r\n") if "ext" in query else (b"", b"")
            while remaining > 0:
                size = min(remaining, 64 * 1024)
                self.wfile.write(b"%x%s\r\n" % (size, extension) + b"c" * size + b"\r\n")
                remaining -= size
            self.wfile.write(b"0\r\n" + trailer + b"\r\n")
        elif fault == "until-close":
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(b"u" * number("n", 0))
            self.close_connection = True
        elif fault == "continue":
            self.wfile.write(b"HTTP/1.1 100 Continue\r\n\r\n")
            self.send_body(200, b"continued")
        elif fault == "headers":
            self.send_response(200)
            for line in range(number("n", 0) - 3):  # Server, Date and Content-Length count too
                self.send_header("X-Line-%d" % line, "x")
            self.send_header("Content-Length", "7")
            self.end_headers()
            self.wfile.write(b"headers")
        elif fault == "two-lengths":
            self.send_response(200)
            self.send_header("Content-Length", "5")
            self.send_header("Content-Length", "6")
            self.end_headers()
            self.wfile.write(b"length")
        elif fault == "not-http":
            self.wfile.write(b"SSH-2.0-OpenSSH\r\n\r\n")
            self.close_connection = True
        elif fault == "trickle":
            count = number("n", 10)
            interval = min(float(query.get("interval", ["0.5"])[0]), MAX_STALL_SECONDS)
            self.send_response(200)
            self.send_header("Content-Length", str(count))
            self.end_headers()
            for _ in range(count):
                self.wfile.write(b"t")
                self.wfile.flush()
                time.sleep(interval)
        elif fault == "endless-headers":
            interval = min(float(query.get("interval", ["0"])[0]), MAX_STALL_SECONDS)
            self.wfile.write(b"HTTP/1.1 200 OK\r\n")
            deadline = time.monotonic() + MAX_STALL_SECONDS
            line = 0
            while time.monotonic() < deadline:
                self.wfile.write(b"X-Filler-%d: %s\r\n" % (line, b"x" * 50))
                line += 1
                time.sleep(interval)
            self.close_connection = True
        elif fault == "interim":
            interval = min(float(query.get("interval", ["0.5"])[0]), MAX_STALL_SECONDS)
            for _ in range(number("n", 1)):
                self.wfile.write(b"HTTP/1.1 100 Continue\r\n\r\n")
                self.wfile.flush()
                time.sleep(interval)
            self.send_body(200, b"interim")
        elif fault == "host":
            self.send_body(200, self.headers.get("Host", "").encode())
        elif fault == "encoded":
            path = os.path.normpath(query["path"][0]).lstrip("/")
            if path.startswith(".."):
                return self.send_body(404, b"outside the root\n")
            with open(os.path.join(self.directory, path), "rb") as served:
                body = served.read()
            self.send_response(200)
            self.send_header("Content-Encoding", "gzip")
            self.send_header("Content-Length", str(len(body)))
            self.end_headers()
            self.wfile.write(body)
        elif fault == "redirect":
            self.send_response(number("code", 302))
            self.send_header("Location", query["to"][0])
            self.send_header("Content-Length", "9")
            self.end_headers()
            self.wfile.write(b"redirect\n")
        elif fault == "cut":
            path = os.path.normpath(query["path"][0]).lstrip("/")
            if path.startswith(".."):
                return self.send_body(404, b"outside the root\n")
            with open(os.path.join(self.directory, path), "rb") as served:
                body = served.read()[: number("sent", 0)]
            self.send_response(200)
            self.send_header("Connection", "close")
            self.end_headers()
            self.wfile.write(body)
            self.close_connection = True
        elif fault == "notxml":
            self.send_body(200, b"this is not xml at all\n", "text/plain")
        else:
            self.send_body(404, b"no such fault\n")

    def send_body(self, status, body, content_type="application/octet-stream"):
        self.send_response(status)
        self.send_header("Content-Type", content_type)
        self.send_header("Content-Length", str(len(body)))
        self.end_headers()
        self.wfile.write(body)


class Server(http.server.ThreadingHTTPServer):
    daemon_threads = True

    def handle_error(self, request, client_address):
        # A client that hangs up early (a time-out, a size cap) is expected.
        if not isinstance(sys.exc_info()[1], (BrokenPipeError, ConnectionResetError)):
            super().handle_error(request, client_address)


def exit_when_stdin_closes():
    while sys.stdin.buffer.read(4096):
        pass
    os._exit(0)


class Server6(Server):
    address_family = socket.AF_INET6


class TlsServer(Server):
    def __init__(self, address, handler, certificate):
        super().__init__(address, handler)
        context = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
        context.load_cert_chain(certificate)
        self.socket = context.wrap_socket(self.socket, server_side=True)

    def handle_error(self, request, client_address):
        # A client that refuses the certificate is expected too.
        if not isinstance(sys.exc_info()[1], (ssl.SSLError, OSError)):
            super().handle_error(request, client_address)


class ProxyHandler(Handler):
    proxy_credentials = b"user:pass"


def serve(server):
    threading.Thread(target=server.serve_forever, daemon=True).start()
    return server.server_address[1]


def main():
    if len(sys.argv) not in (2, 3):
        sys.exit("usage: httpserver.py ROOT [CERTIFICATE]")
    root = os.path.abspath(sys.argv[1])

    def maker(handler):
        return lambda *args, **kwargs: handler(*args, directory=root, **kwargs)

    threading.Thread(target=exit_when_stdin_closes, daemon=True).start()
    print("PORT6 %d" % serve(Server6(("::1", 0), maker(Handler))), flush=True)
    print("PROXY %d" % serve(Server(("127.0.0.1", 0), maker(ProxyHandler))), flush=True)
    if len(sys.argv) == 3:
        print("TLS %d" % serve(TlsServer(("127.0.0.1", 0), maker(Handler), sys.argv[2])), flush=True)
    server = Server(("127.0.0.1", 0), maker(Handler))
    print("PORT %d" % server.server_address[1], flush=True)
    server.serve_forever()


if __name__ == "__main__":
    main()
