#!/usr/bin/env python3
"""Writes the seed corpus of every fuzz target from real traffic of the
built programs: a mission generator's feed, a headless vantorsrv's
ConfigBlock, chat echoes and track datagrams, parlix-sim's replies to the
voice library, and the theatre's data files.

    fuzz/make_seeds.py [BIN_DIR]     (default build/bin)

Loopback only, on ports chosen free. Seeds already in a corpus folder are
kept; the files written are named after what they hold.
"""
import ctypes
import os
import socket
import struct
import subprocess
import sys
import tempfile
import time

ROOT = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
BIN = os.path.abspath(sys.argv[1] if len(sys.argv) > 1 else os.path.join(ROOT, "build", "bin"))
CORPUS = os.path.join(ROOT, "fuzz", "corpus")


def write(target, name, data):
    folder = os.path.join(CORPUS, target)
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, name), "wb") as out:
        out.write(data)


def chunk(data):
    """A chunk as the targets read it: a 2-byte little-endian length first."""
    return struct.pack("<H", len(data)) + data


def free_port():
    with socket.socket() as probe:
        probe.bind(("127.0.0.1", 0))
        return probe.getsockname()[1]


def mission_feed(seconds=3, objects=None, seed=3):
    arguments = [os.path.join(BIN, "vantor-missiongen"), "--stdout", "--fast", "--duration", str(seconds),
                 "--seed", str(seed)]
    if objects:
        arguments += ["--objects", str(objects)]
    return subprocess.run(arguments, capture_output=True, check=True, timeout=60).stdout


def records_of(feed):
    return [part + b"##" for part in feed.split(b"##") if part]


def feed_seeds(feed):
    records = records_of(feed)
    clock = records[0]
    seen = set()
    for record in records[1:]:
        kind = record[9:10]
        if kind in seen:
            continue
        seen.add(kind)
        write("feed_record", "record-class-%s" % kind.decode(), record)
    write("feed_record", "mission-clock", clock)
    write("feed_record", "bracketed-name", b"30000003 B Flanker [2][Allies]@@43.51 39.9 8000 3.14159##")
    write("feed_record", "radar-site", b"30000001 A SA-11 Buk SR[Allies]@@44.0 38.0 10 0##")
    # Reads of the size a server takes them, over a running clock.
    text = feed[:6000]
    reads = b"\xff\xff\x7f\x00"
    position, sizes = 0, [700, 1500, 333, 2048, 90]
    for i in range(40):
        if position >= len(text):
            break
        size = sizes[i % len(sizes)]
        reads += bytes([0x83 if i % 7 == 6 else 1 + i % 12]) + chunk(text[position:position + size])
        position += size
    write("feed_processor", "mission-reads", reads)
    write("feed_processor", "cut-mid-record",
          b"\xff\xff\x7f\x00" + b"\x00" + chunk(clock + records[1][:20]) + b"\x0b" + chunk(records[1][20:] +
                                                                                    records[2]))
    write("recorded_feed", "mission", feed[:4000])
    write("recorded_feed", "two-connections", feed[:1500] + clock + feed[len(clock):1500])


class RadarClient:
    """A radar client of a real vantorsrv: UDP bound first, then the control connection."""

    def __init__(self, address, client_port):
        self.udp = socket.socket(socket.AF_INET, socket.SOCK_DGRAM)
        self.udp.bind((address, client_port))
        self.udp.settimeout(0.2)
        self.tcp = socket.create_connection(("127.0.0.1", client_port), timeout=5, source_address=(address, 0))

    def control(self, count):
        data = b""
        while len(data) < count:
            more = self.tcp.recv(count - len(data))
            if not more:
                break
            data += more
        return data

    def datagrams(self, seconds):
        caught, end = [], time.time() + seconds
        while time.time() < end:
            try:
                caught.append(self.udp.recv(65536))
            except socket.timeout:
                pass
        return caught


def server_seeds():
    feed_port, client_port = free_port(), free_port()
    with tempfile.TemporaryDirectory() as folder:
        settings = os.path.join(folder, "vantorsrv.ini")
        with open(settings, "w") as ini:
            ini.write("[Config]\nbluepass=Azure\nredpass=crimson\nMaxClient=3\n")
        server = subprocess.Popen([os.path.join(BIN, "vantorsrv"), "--headless", "--no-simulator", "--feed-port",
                                   str(feed_port), "--client-port", str(client_port), "--settings", settings],
                                  stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        try:
            time.sleep(1.0)
            client = RadarClient("127.0.0.21", client_port)
            block = client.control(432)
            client.tcp.sendall(b"\x06\x00")
            generator = subprocess.Popen([os.path.join(BIN, "vantor-missiongen"), "--port", str(feed_port),
                                          "--rate", "5", "--duration", "4", "--seed", "5"],
                                         stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
            caught = client.datagrams(4.5)
            generator.wait(timeout=20)
            chat = b"\x03Tower, Colt 11 on final"
            client.tcp.sendall(chat)
            echo = client.control(len(chat))
            client.tcp.close()
        finally:
            server.terminate()
            server.wait(timeout=10)
    caught = [d for d in caught if d][:12]
    write("client_control", "config-block-in-two-reads", b"\x00" + chunk(b"azure") + chunk(block[:200]) +
          chunk(block[200:]) + chunk(echo) + chunk(b"\x00Blue only") + chunk(b"\x01Red only"))
    write("client_control", "config-block-red", b"\x03" + chunk(b"CRIMSON") + chunk(block) + chunk(b"L" * 300))
    write("client_control", "server-full", b"\x02" + chunk(b"") + chunk(b"FIN"))
    datagrams = b"\x00"
    for datagram in caught[:6]:
        datagrams += b"\x03" + chunk(datagram)
    write("track_datagram", "server-datagrams", datagrams)
    if caught:
        first = caught[0]
        cut = len(first) // 2
        write("track_datagram", "record-across-datagrams", b"\x01" + b"\x00" + chunk(first[:cut]) + b"\x00" +
              chunk(first[cut:]))
    lost = b"16779010BColt 11[A]@0.0 0.0 0.0 0.0 0##"
    write("track_datagram", "lost-track", b"\x00\x00" + chunk(b"16779010BColt 11[A]@45.0322 38.9251 3000.0 1.57 820##")
          + b"\x05" + chunk(lost))
    # Connect, join, chat, feed batches, leave: the server's side of the same talk.
    # Actions: connect 0x00+n, join 0x04+n then the coalition, bytes 0x08+n
    # then a chunk, leave 0x10+n, stop reading 0x14+n, a feed batch 0x18 then
    # an id, time passing 0x1c | ms << 5.
    write("server_control", "join-chat-batches-leave",
          bytes([0x00, 0x04, 0x00, 0x08]) + chunk(chat) + bytes([0x18, 1, 0x18, 2, 0x10]))
    write("server_control", "two-clients-one-silent",
          bytes([0x00, 0x01, 0x04, 0, 0x05, 1, 0x15, 0x08]) + chunk(chat * 20) + bytes([0x09]) +
          chunk(b"\x06\x01garbage"))
    write("server_control", "full-server", bytes([0x00, 0x01, 0x02, 0x03, 0xfc, 0x04, 0]))


def voice_seeds():
    prefix = "seed%d_" % os.getpid()
    environment = dict(os.environ, VANTOR_PARLIX_PREFIX=prefix)
    with tempfile.TemporaryDirectory() as folder:
        log = os.path.join(folder, "replies.txt")
        sim = subprocess.Popen([os.path.join(BIN, "parlix-sim"), "--verbose"], env=environment,
                               stdout=open(log, "w"), stderr=subprocess.DEVNULL)
        try:
            time.sleep(0.8)
            os.environ["VANTOR_PARLIX_PREFIX"] = prefix
            library = ctypes.CDLL(os.path.join(BIN, "libPxRemote.so"))
            room = (ctypes.c_char * (50 * 32))()
            count = ctypes.c_int32(32)
            library.pxrGetChannels(room, ctypes.byref(count))
            count.value = 32
            library.pxrGetPlayers(room, ctypes.byref(count))
            library.pxrGetUserInfo((ctypes.c_char * 150)())
            library.pxrGetServerInfo((ctypes.c_char * 482)())
            count.value = 32
            library.pxrGetSpeakers(room, ctypes.byref(count))
            count.value = 8
            library.pxrGetChannelInfoByID(2, (ctypes.c_char * 50)(), room, ctypes.byref(count))
            library.pxrGetPlayerInfoByID(2, (ctypes.c_char * 50)())
            library.pxrSwitchChannelID(5, b"")
        finally:
            sim.terminate()
            sim.wait(timeout=10)
        lines = open(log, "rb").read().split(b"\n")
    calls = {b"GET_VERSION": 0, b"GET_SERVER_INFO": 1, b"GET_USER_INFO": 2, b"GET_CHANNEL_INFO_ID": 3,
             b"GET_PLAYER_INFO_ID": 5, b"GET_CHANNELS": 7, b"GET_PLAYERS": 8, b"GET_SPEAKERS": 9,
             b"SWITCH_CHANNEL_ID": 10}

    def unescape(text):
        return text.replace(b"\\r", b"\r").replace(b"\\n", b"\n").replace(b"\\t", b"\t").replace(b"\\\\", b"\\")

    command = None
    for line in lines:
        if line.startswith(b"<- "):
            command = line[3:].split(b" ")[0]
        elif line.startswith(b"-> ") and command in calls:
            reply = unescape(line[3:])
            write("voice_reply", "reply-" + command.decode().lower(), bytes([calls[command], 16]) + reply)
    write("voice_reply", "error-reply", bytes([8, 4]) + b"ERROR -42 NO SUCH THING")
    write("voice_reply", "nameless-player", bytes([8, 4]) + b"OK\r1 2 3 4 5")


def file_seeds():
    data = os.path.join(ROOT, "data")
    for name, target in (("borderline.dat", "map_lines"), ("airport.dat", "map_lines"),
                         ("airport.dat", "drawing_file")):
        path = os.path.join(data, name)
        if os.path.exists(path):
            write(target, name, open(path, "rb").read()[:3000])
    write("drawing_file", "saved-drawing",
          b"0.000000\t0.000000\n45.032200\t38.925100\n45.100000\t39.000000\n# note\n0.000000\t0.000000\n"
          b"44.500000\t37.800000\n")
    write("drawing_file", "windows-line-ends", b"0.000000\t0.000000\r\n45.0322\t38.9251\r\n")
    write("server_list", "addresses", chunk(b"192.168.1.20") + b"127.0.0.1\nvantor.example.org\n127.0.0.1\n")
    write("server_list", "windows-line-ends", chunk(b" 10.0.0.5 ") + b"10.0.0.1\r\nHost\r\nhost\r\n\r\n")
    write("line_of_sight", "ridges-query",
          b"\x01" + struct.pack("<HHHHHB", 20000, 30000, 40000, 50000, 3000, 0) + b"\x06")
    write("line_of_sight", "awacs-query", b"\x02" + struct.pack("<HHHHHBH", 10000, 10000, 50000, 60000, 200, 1, 9000))
    # The loader: the bytes as they are, and a grid one byte short.
    write("elevation", "raw-short", b"\x00\x10\x00short")
    write("elevation", "grid-one-byte-short", b"\x01\x00\x00")
    write("parlix_channels", "channels",
          b"# id;name;flags;password;parent;max\n1;Lobby;cfDefault\n2;Blue Ops;cfModerated\n"
          b"8;Blue Command;cfModerated,cfHierarchical;blue;2;8\n10;Guest;cfUnregistered\n"
          b"player;1;1;Controller\nplayer;2;2;Viper 11;pfWantVoice;pcpVoiced;ppRegistered\n")
    write("parlix_channels", "channels-only", b"4;Tower\n5;Approach\n")


def main():
    feed = mission_feed()
    feed_seeds(feed)
    server_seeds()
    voice_seeds()
    file_seeds()


if __name__ == "__main__":
    main()
