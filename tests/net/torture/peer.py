# Misbehaving peers for the stream torture test. Listens on two loopback ports, plain and
# TLS, prints both, and serves every connection in a thread with one behaviour drawn from
# the seed: chatty, trickle, flood, stall, reset, halfclose or clean. Everything it sends
# follows one pattern: each byte is the one before plus 1, modulo 251, so the test can
# tell a lost, doubled or corrupted byte inside any piece it receives.
#
#   python3 peer.py SEED CERT KEY
import random, socket, ssl, struct, sys, threading, time

seed, cert, key = int(sys.argv[1]), sys.argv[2], sys.argv[3]
BEHAVIOURS = ["chatty", "trickle", "flood", "stall", "reset", "halfclose", "clean"]
ctx = ssl.SSLContext(ssl.PROTOCOL_TLS_SERVER)
ctx.load_cert_chain(cert, key)


def pattern(start, n):
    return bytes((start + i) % 251 for i in range(n))


class Out:
    def __init__(self, rng):
        self.next = rng.randrange(251)

    def take(self, n):
        b = pattern(self.next, n)
        self.next = (self.next + n) % 251
        return b


def drain(s, seconds):
    """Reads and discards for at most `seconds`; False once the other side ended."""
    s.settimeout(seconds)
    try:
        while True:
            if not s.recv(65536):
                return False
    except (socket.timeout, ssl.SSLWantReadError):
        return True


def reset(raw):
    raw.setsockopt(socket.SOL_SOCKET, socket.SO_LINGER, struct.pack("ii", 1, 0))
    raw.close()


def serve(raw, tls, n):
    rng = random.Random(seed * 7919 + n)
    how = rng.choice(BEHAVIOURS)
    out = Out(rng)
    raw.settimeout(10)
    try:
        if how == "stall":
            # Never reads, never writes; for TLS not even the handshake.
            time.sleep(rng.uniform(0.5, 8))
            return reset(raw)
        s = ctx.wrap_socket(raw, server_side=True) if tls else raw
        s.settimeout(10)
        if how == "chatty":
            for _ in range(rng.randrange(1, 60)):
                s.sendall(out.take(rng.randrange(1, 4000)))
                if not drain(s, 0.02):
                    break
            drain(s, 5)
        elif how == "trickle":
            for _ in range(rng.randrange(20, 400)):
                s.sendall(out.take(1))
                time.sleep(0.005)
            drain(s, 5)
        elif how == "flood":
            end = time.time() + rng.uniform(0.5, 5)
            while time.time() < end:
                s.sendall(out.take(65536))
        elif how == "reset":
            s.sendall(out.take(rng.randrange(0, 200000)))
            drain(s, rng.uniform(0, 0.5))
            return reset(raw)
        elif how == "halfclose":
            s.sendall(out.take(rng.randrange(0, 50000)))
            if tls:
                s.settimeout(2)
                s = s.unwrap()  # our close notification, then the other side's
            s.shutdown(socket.SHUT_WR)
            drain(s, 10)
        elif how == "clean":
            s.sendall(out.take(rng.randrange(0, 20000)))
            drain(s, 10)
            if tls:
                s.settimeout(2)
                s = s.unwrap()
        s.close()
    except (OSError, ValueError):
        try:
            raw.close()
        except OSError:
            pass


def listen():
    l = socket.socket()
    l.setsockopt(socket.SOL_SOCKET, socket.SO_REUSEADDR, 1)
    l.bind(("127.0.0.1", 0))
    l.listen(64)
    return l


def accept_loop(l, tls, counter):
    while True:
        c, _ = l.accept()
        with counter[1]:
            counter[0] += 1
            n = counter[0]
        threading.Thread(target=serve, args=(c, tls, n), daemon=True).start()


plain, secure = listen(), listen()
print(plain.getsockname()[1], secure.getsockname()[1], flush=True)
counter = [0, threading.Lock()]
threading.Thread(target=accept_loop, args=(secure, True, counter), daemon=True).start()
accept_loop(plain, False, counter)
