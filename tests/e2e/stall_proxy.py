"""A unix-socket proxy in front of a CUPS server that stops passing a print
job's document on: once a client starts a Send-Document request (IPP
operation 6, as the job sink sends its PDF), what that client sends is read
and dropped and the server's answers are not passed back, and "stalled" is
printed. When the client hangs up, so does the proxy, towards the server. Usage: stall_proxy.py LISTEN UPSTREAM"""
import re
import selectors
import socket
import sys

# The end of a request's HTTP header, a chunk size when chunked, then the IPP
# version and the operation Send-Document.
SEND_DOCUMENT = re.compile(rb"\r\n\r\n(?:[0-9a-fA-F]+\r\n)?[\x01\x02][\x00-\x02]\x00\x06")

listen_path, upstream_path = sys.argv[1], sys.argv[2]
server = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
server.bind(listen_path)
server.listen(16)
print("ready", flush=True)
sel = selectors.DefaultSelector()
sel.register(server, selectors.EVENT_READ)
peers = {}
stalled = set()
tails = {}
while True:
    for key, _ in sel.select():
        sock = key.fileobj
        if sock is server:
            client, _ = server.accept()
            upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            upstream.connect(upstream_path)
            peers[client], peers[upstream] = upstream, client
            sel.register(client, selectors.EVENT_READ, "client")
            sel.register(upstream, selectors.EVENT_READ, "upstream")
            continue
        data = sock.recv(65536)
        other = peers.get(sock)
        if not data:
            for s in (sock, other):
                if s is not None and s.fileno() >= 0:
                    sel.unregister(s)
                    s.close()
            continue
        if sock in stalled or other in stalled:
            continue  # read and dropped: the client waits for an answer
        # The header and the body may come in separate reads.
        seen = tails.get(sock, b"") + data
        tails[sock] = seen[-16:]
        if key.data == "client" and SEND_DOCUMENT.search(seen):
            stalled.add(sock)
            print("stalled", flush=True)
            continue
        other.sendall(data)
