"""A display of its own in front of an X server that passes everything on, except that while muted it drops what the
server answers: the server acts on every request, and its clients hear nothing."""

import os
import select
import socket
import threading

from x_server import socket_path, taken


class MutingProxy:
    def __init__(self, server):
        self.server = server
        self.muted = False
        self.number = next(n for n in range(server.number + 1, 500) if not taken(n))
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(socket_path(self.number))
        self.listener.listen(8)
        self.connections = []
        self.threads = [threading.Thread(target=self._accept, daemon=True)]
        self.threads[0].start()

    @property
    def display(self):
        return f":{self.number}"

    def close(self):
        self.listener.shutdown(socket.SHUT_RDWR)
        self.listener.close()
        for connection in self.connections:
            try:
                connection.shutdown(socket.SHUT_RDWR)  # wakes its pump, which closes it
            except OSError:
                pass  # closed already
        for thread in self.threads:
            thread.join()
        os.unlink(socket_path(self.number))

    def _accept(self):
        while True:
            try:
                client, _ = self.listener.accept()
            except OSError:
                return
            upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
            upstream.connect(socket_path(self.server.number))
            self.connections += [client, upstream]
            thread = threading.Thread(target=self._pump, args=(client, upstream), daemon=True)
            self.threads.append(thread)
            thread.start()

    def _pump(self, client, upstream):
        try:
            while True:
                ready, _, _ = select.select([client, upstream], [], [])
                for source in ready:
                    data = source.recv(65536)
                    if not data:
                        return
                    if source is client:
                        upstream.sendall(data)
                    elif not self.muted:
                        client.sendall(data)
        except OSError:
            return
        finally:
            client.close()
            upstream.close()
