#!/usr/bin/env python3
"""A stand-in update service for trying the update window by hand.

    python3 tools/update_service_stub.py [PORT] [CODE=VERSION ...]

Listens on 127.0.0.1 (port 8080 unless told) and answers the program's requests: every
announce is accepted, and a version query for a code gets the version given for it (defaults
below). Point the program at it with KORVANE_UPDATE_URL=http://127.0.0.1:PORT.
"""

import base64
import json
import sys
from http.server import BaseHTTPRequestHandler, HTTPServer

VERSIONS = {"Qv024": "3.0.2", "Qv021": "1.0.6", "Qv022": "1.0.6", "Qv023": "1.0.6",
            "Qv033": "1.0.6", "Qv034": "1.0.6"}


class Handler(BaseHTTPRequestHandler):
    def do_POST(self):
        length = min(int(self.headers.get("Content-Length", "0")), 4096)
        body = self.rfile.read(length).rstrip(b"\0").decode("ascii", "replace")
        try:
            request = json.loads(base64.b64decode(body.split("=", 1)[1]))
        except (IndexError, ValueError):
            request = {}
        code = request.get("command_type", "")
        if "UUID" in request:
            answer = {"Result_Code": "2"}
        else:
            answer = {"Result_Code": "2", "Data": {"version": VERSIONS.get(code, "")}}
        data = json.dumps(answer).encode()
        self.send_response(200)
        self.send_header("Content-Type", "application/json")
        self.send_header("Content-Length", str(len(data)))
        self.end_headers()
        self.wfile.write(data)
        print(f"{code}: {request}", flush=True)

    def log_message(self, *args):
        pass


def main():
    port = 8080
    for arg in sys.argv[1:]:
        if "=" in arg:
            code, version = arg.split("=", 1)
            VERSIONS[code] = version
        else:
            port = int(arg)
    HTTPServer(("127.0.0.1", port), Handler).serve_forever()


if __name__ == "__main__":
    main()
