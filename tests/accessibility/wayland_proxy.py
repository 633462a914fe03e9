"""A pass-through proxy on a Wayland socket that can act as the compositor.

Each client that connects to the proxy's socket gets its own connection to the
compositor's socket. Both streams are forwarded message by message, file
descriptors (shm pools, keymaps) passed on with them. The proxy reads just
enough of the client's requests to know its xdg_toplevels: their titles and
the parent each was given. It can then send a toplevel the close event a
compositor sends for its close button, between two of the compositor's
messages.
"""
import array
import contextlib
import os
import selectors
import socket
import struct
import threading

# Opcodes from the protocols' XML: wayland.xml (wl_display, wl_registry) and
# the stable xdg-shell.xml (xdg_wm_base, xdg_surface, xdg_toplevel).
WL_DISPLAY = 1                    # the display is always object 1
WL_DISPLAY_GET_REGISTRY = 1       # request: new_id registry
WL_DISPLAY_DELETE_ID = 1          # event: uint id
WL_REGISTRY_BIND = 0              # request: uint name, new_id (string interface, uint version, uint id)
XDG_WM_BASE_GET_XDG_SURFACE = 2   # request: new_id xdg_surface, object surface
XDG_SURFACE_GET_TOPLEVEL = 1      # request: new_id xdg_toplevel
XDG_TOPLEVEL_DESTROY = 0          # request (destructor)
XDG_TOPLEVEL_SET_PARENT = 1       # request: object parent (0: none)
XDG_TOPLEVEL_SET_TITLE = 2        # request: string title
XDG_TOPLEVEL_CLOSE = 1            # event, no arguments

MAX_FDS = 253                     # the kernel's limit for one message


class Toplevel:
    def __init__(self, client, object_id):
        self.client, self.id = client, object_id
        self.title = None
        self.parent = None        # the Toplevel given by set_parent, if any
        self.alive = True


def _string(body, offset):
    """A Wayland string argument at offset: its text (None when null) and the offset after it."""
    (length,) = struct.unpack_from("<I", body, offset)
    offset += 4
    text = bytes(body[offset:offset + length - 1]).decode("utf-8", "replace") if length else None
    return text, offset + (length + 3) // 4 * 4


class _Client:
    """One client's pair of connections and what the proxy knows of its objects."""

    def __init__(self, downstream, upstream):
        self.downstream, self.upstream = downstream, upstream
        self.interfaces = {WL_DISPLAY: "wl_display"}
        self.toplevels = {}
        self.buffers = {downstream: bytearray(), upstream: bytearray()}
        self.fds = {downstream: [], upstream: []}
        self.injected = []

    def request(self, object_id, opcode, body):
        interface = self.interfaces.get(object_id)
        if object_id == WL_DISPLAY and opcode == WL_DISPLAY_GET_REGISTRY:
            self.interfaces[struct.unpack_from("<I", body)[0]] = "wl_registry"
        elif interface == "wl_registry" and opcode == WL_REGISTRY_BIND:
            name, offset = _string(body, 4)
            _version, new_id = struct.unpack_from("<II", body, offset)
            self.interfaces[new_id] = name
        elif interface == "xdg_wm_base" and opcode == XDG_WM_BASE_GET_XDG_SURFACE:
            self.interfaces[struct.unpack_from("<I", body)[0]] = "xdg_surface"
        elif interface == "xdg_surface" and opcode == XDG_SURFACE_GET_TOPLEVEL:
            new_id = struct.unpack_from("<I", body)[0]
            self.interfaces[new_id] = "xdg_toplevel"
            self.toplevels[new_id] = Toplevel(self, new_id)
        elif interface == "xdg_toplevel" and object_id in self.toplevels:
            toplevel = self.toplevels[object_id]
            if opcode == XDG_TOPLEVEL_DESTROY:
                toplevel.alive = False
                del self.toplevels[object_id]
            elif opcode == XDG_TOPLEVEL_SET_PARENT:
                toplevel.parent = self.toplevels.get(struct.unpack_from("<I", body)[0])
            elif opcode == XDG_TOPLEVEL_SET_TITLE:
                toplevel.title = _string(body, 0)[0]

    def event(self, object_id, opcode, body):
        if object_id == WL_DISPLAY and opcode == WL_DISPLAY_DELETE_ID:
            self.interfaces.pop(struct.unpack_from("<I", body)[0], None)

    def ended(self):
        for toplevel in self.toplevels.values():
            toplevel.alive = False
        self.toplevels.clear()


class WaylandProxy:
    """Listens on runtime_dir/name and forwards each client to runtime_dir/upstream."""

    def __init__(self, runtime_dir, upstream, name):
        self.upstream_path = os.path.join(runtime_dir, upstream)
        self.path = os.path.join(runtime_dir, name)
        self.lock = threading.Lock()
        self.clients = []
        self.error = None
        self.selector = selectors.DefaultSelector()
        self.listener = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        self.listener.bind(self.path)
        self.listener.listen()
        self.selector.register(self.listener, selectors.EVENT_READ)
        self.wake_read, self.wake_write = socket.socketpair()
        self.selector.register(self.wake_read, selectors.EVENT_READ)
        threading.Thread(target=self._run, daemon=True).start()

    def find(self, title):
        """The newest live toplevel titled `title`, or None."""
        with self.lock:
            found = [t for c in self.clients for t in c.toplevels.values() if t.title == title]
            return found[-1] if found else None

    def close(self, toplevel):
        """Sends the toplevel xdg_toplevel.close, as a compositor does."""
        with self.lock:
            if not toplevel.alive:
                return
            toplevel.client.injected.append(struct.pack("<II", toplevel.id, 8 << 16 | XDG_TOPLEVEL_CLOSE))
        self.wake_write.send(b"x")

    def _run(self):
        try:
            self._serve()
        except Exception as error:  # the test reads it; the clients see their connections end
            self.error = error
            for client in list(self.clients):
                self._drop(client)

    def _serve(self):
        while True:
            for key, _ in self.selector.select():
                if key.fileobj is self.listener:
                    self._accept()
                elif key.fileobj is self.wake_read:
                    self.wake_read.recv(4096)
                    with self.lock:
                        for client in self.clients:
                            # Only whole messages are ever forwarded, so this is between two.
                            with contextlib.suppress(BrokenPipeError, ConnectionResetError):
                                for message in client.injected:
                                    client.downstream.sendall(message)
                            client.injected.clear()
                else:
                    try:
                        self._forward(key.data, key.fileobj)
                    except (ConnectionResetError, BrokenPipeError):  # a program killed, say
                        self._drop(key.data)

    def _accept(self):
        downstream, _ = self.listener.accept()
        upstream = socket.socket(socket.AF_UNIX, socket.SOCK_STREAM)
        upstream.connect(self.upstream_path)
        client = _Client(downstream, upstream)
        with self.lock:
            self.clients.append(client)
        self.selector.register(downstream, selectors.EVENT_READ, client)
        self.selector.register(upstream, selectors.EVENT_READ, client)

    def _forward(self, client, source):
        if client not in self.clients:  # dropped while this select() was being served
            return
        data, ancillary, _, _ = source.recvmsg(65536, socket.CMSG_SPACE(MAX_FDS * 4), socket.MSG_CMSG_CLOEXEC)
        if not data:
            self._drop(client)
            return
        for level, kind, payload in ancillary:
            if level == socket.SOL_SOCKET and kind == socket.SCM_RIGHTS:
                fds = array.array("i")
                fds.frombytes(payload[:len(payload) - len(payload) % fds.itemsize])
                client.fds[source].extend(fds)
        buffer = client.buffers[source]
        buffer += data
        from_client = source is client.downstream
        offset = 0
        with self.lock:
            while len(buffer) - offset >= 8:
                object_id, word = struct.unpack_from("<II", buffer, offset)
                size, opcode = word >> 16, word & 0xFFFF
                if size < 8:
                    raise ValueError(f"a Wayland message of {size} bytes")
                if len(buffer) - offset < size:
                    break
                body = memoryview(buffer)[offset + 8:offset + size]
                (client.request if from_client else client.event)(object_id, opcode, body)
                body.release()
                offset += size
            if offset:
                # fds travel no later than the bytes of the message that carries them.
                fds = client.fds[source]
                target = client.upstream if from_client else client.downstream
                sent = target.sendmsg([bytes(buffer[:offset])],
                                      [(socket.SOL_SOCKET, socket.SCM_RIGHTS, array.array("i", fds))] if fds else [])
                if sent < offset:
                    target.sendall(bytes(buffer[sent:offset]))
                for fd in fds:
                    os.close(fd)
                fds.clear()
                del buffer[:offset]

    def _drop(self, client):
        if client not in self.clients:
            return
        for end in (client.downstream, client.upstream):
            self.selector.unregister(end)
            end.close()
        for fd in client.fds[client.downstream] + client.fds[client.upstream]:
            os.close(fd)
        with self.lock:
            client.ended()
            self.clients.remove(client)
