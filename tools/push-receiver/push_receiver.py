#!/usr/bin/env python3
"""A stand-in for the network's push host, for the end-to-end checks.

push_receiver.py --log FILE [--port 80] [--host 127.0.0.1] [--mode MODE]

Listens on HOST:PORT, takes each connection on a thread of its own, reads
the request head and appends one JSON line per request to FILE (time,
request line, target and headers as sent), then answers by MODE:
  ok      200 with a short body
  error   500
  big     200 with a body of 1 MiB
  slow    200 after 5 s
  silent  accepts, reads, never answers (until the client gives up)
The mode can be changed while running by writing its word into FILE.mode
(read at each request; an empty or unknown word there means --mode).
Prints "listening" once bound.
"""
import argparse
import json
import os
import socket
import threading
import time

MODES = ("ok", "error", "big", "slow", "silent")


def current_mode(args):
    try:
        with open(args.log + ".mode") as f:
            word = f.read().strip()
            if word in MODES:
                return word
    except OSError:
        pass
    return args.mode


def answer(conn, code, body):
    reason = {200: "OK", 500: "Internal Server Error"}[code]
    head = f"HTTP/1.1 {code} {reason}\r\nContent-Length: {len(body)}\r\nConnection: close\r\n\r\n"
    conn.sendall(head.encode() + body)


def serve(conn, args, lock):
    try:
        conn.settimeout(30)
        data = b""
        while b"\r\n\r\n" not in data:
            chunk = conn.recv(4096)
            if not chunk:
                return
            data += chunk
        head = data.split(b"\r\n\r\n", 1)[0].decode("latin-1")
        lines = head.split("\r\n")
        parts = lines[0].split(" ")
        headers = {}
        for line in lines[1:]:
            name, _, value = line.partition(":")
            headers[name] = value.strip()
        mode = current_mode(args)
        record = {"time": time.time(), "line": lines[0], "method": parts[0],
                  "target": parts[1] if len(parts) > 1 else "",
                  "version": parts[2] if len(parts) > 2 else "",
                  "headers": headers, "mode": mode}
        with lock, open(args.log, "a") as f:
            f.write(json.dumps(record) + "\n")
        if mode == "silent":
            conn.settimeout(None)
            while conn.recv(4096):
                pass
            return
        if mode == "slow":
            time.sleep(5)
        if mode == "error":
            answer(conn, 500, b"error")
        elif mode == "big":
            answer(conn, 200, b"x" * (1 << 20))
        else:
            answer(conn, 200, b"OK")
    except OSError:
        pass
    finally:
        conn.close()


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--log", required=True)
    parser.add_argument("--port", type=int, default=80)
    parser.add_argument("--host", default="127.0.0.1")
    parser.add_argument("--mode", default="ok", choices=MODES)
    args = parser.parse_args()
    server = socket.socket(socket.AF_INET, socket.SOCK_STREAM)
    server.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    server.bind((args.host, args.port))
    server.listen(64)
    print("listening", flush=True)
    lock = threading.Lock()
    while True:
        conn, _ = server.accept()
        threading.Thread(target=serve, args=(conn, args, lock), daemon=True).start()


if __name__ == "__main__":
    main()
