#!/usr/bin/env python3
"""Writes the seed corpus of the fuzz targets into tests/fuzz/corpus/.

The seeds are kept in the repository; run this again only to change them.
Inputs the fuzzers find are not added here unless one proves a fault worth
keeping (then save it under a name that says what it shows).
"""
import pathlib
import struct

HERE = pathlib.Path(__file__).resolve().parent
SEARCH, SEARCH_REPLY, SET_IP, SET_IP_REPLY = 0x101, 0x102, 0x103, 0x104


def header(command, length, magic=b"\xab\xcd\xef", byte3=0):
    return magic + bytes([byte3]) + struct.pack("<III", command, 0, length)


def field(text, size):
    return text[:size].ljust(size, b"\0")


def search_reply(mac, ip=b"10.0.0.5", gateway=b"10.0.0.1", **header_options):
    record = field(ip, 72) + field(mac, 20) + field(gateway, 64)
    return header(SEARCH_REPLY, len(record), **header_options) + record


def set_ip_reply(mac, address=(192, 168, 1, 241), gateway=(192, 168, 1, 1), command=SET_IP_REPLY):
    record = field(mac, 20) + bytes(address) + bytes(gateway)
    return header(command, len(record)) + record


def receive_input(*datagrams):
    """The receive target's input: each datagram after its 16-bit length."""
    return b"".join(struct.pack("<H", len(d)) + d for d in datagrams)


def calc_input(*texts):
    """The calculator target's input: each text after its length byte."""
    return b"".join(bytes([len(t)]) + t for t in texts)


RECEIVE_SEEDS = {
    "search-reply": receive_input(search_reply(b"00:11:22:33:44:55")),
    "set-ip-reply": receive_input(search_reply(b"CAM"), set_ip_reply(b"CAM")),
    "list-rules": receive_input(
        search_reply(b"CAM-A"), search_reply(b"CAM-A", b"172.16.5.9"), search_reply(b"CAM-B"),
        set_ip_reply(b"CAM-B"), set_ip_reply(b"NOT-LISTED"), search_reply(b"CAM-B", b"10.9.9.9"),
        search_reply(b""), search_reply(b"", b"10.0.0.7")),
    "texts-without-nul": receive_input(search_reply(b"M" * 20, b"I" * 72, b"G" * 64) + b"Z" * 100),
    "mac-20-bytes": receive_input(
        search_reply(b"0123456789ABCDEFGHIJ", gateway=b"1.1.1.1"),
        search_reply(b"0123456789ABCDEFGHIJ", gateway=b"2.2.2.2"), set_ip_reply(b"0123456789ABCDEFGHIJKL")),
    "mac-gbk": receive_input(search_reply("摄像机-1".encode("gbk")), set_ip_reply("摄像机-1".encode("gbk"))),
    "mac-not-gbk": receive_input(
        search_reply(b"CAM\x81"), search_reply(b"CAM"), search_reply(b"\x81\x30"), search_reply(b"\xff\xfe\x80"),
        set_ip_reply(b"CAM\x81")),
    "own-requests": receive_input(header(SEARCH, 0), set_ip_reply(b"CAM", command=SET_IP)),
    "unknown-command": receive_input(search_reply(b"CAM")[:4] + struct.pack("<I", 0x105) + search_reply(b"CAM")[8:]),
    "magic-variants": receive_input(
        search_reply(b"BYTE3", byte3=0xFF), search_reply(b"WRONG", magic=b"\xab\xcd\xee"),
        search_reply(b"SWAPPED", magic=b"\xef\xcd\xab")),
    "length-field-ignored": receive_input(header(SEARCH_REPLY, 0) + search_reply(b"CAM")[16:],
                                          header(SET_IP_REPLY, 2032) + b"\x01" * 10),
    "too-short": receive_input(b"", b"\xab\xcd\xef", header(SEARCH_REPLY, 156), search_reply(b"SHORT")[:171],
                               set_ip_reply(b"SHORT")[:43]),
    "longest-and-oversize": receive_input(search_reply(b"LONGEST").ljust(1023, b"Z"),
                                          search_reply(b"OVERSIZE").ljust(1024, b"Z"),
                                          search_reply(b"AFTER")[:100]),
}

CALC_SEEDS = {
    "defaults": calc_input(b"2000", b"16", b"24", b"30"),
    "empty": calc_input(b"", b"", b"", b""),
    "largest": calc_input(*[b"2147483647"] * 4),
    "beyond-int32": calc_input(b"2000", b"2147483648", b"24", b"30"),
    "wraps-to-16": calc_input(b"2000", b"4294967312", b"24", b"30"),
    "leading-zeros": calc_input(b"0" * 39 + b"2147483647", b"0" * 60 + b"16", b"24", b"30"),
    "gbk-across-byte-49": calc_input(b"0" * 48 + "一".encode("gbk"), b"16", b"24", b"30"),
    "gbk-after-byte-49": calc_input(b"0" * 45 + b"2000" + "一".encode("gbk"), b"16", b"24", b"30"),
    "not-digits": calc_input(b"2000", b"1 6", b"+24", "三十".encode("gbk")),
    "rate-below-8": calc_input(b"7", b"16", b"24", b"30"),
}

PLAN_SEEDS = {
    "plan-english": b"MAC,IP,Gateway\r\nAA-01,10.0.0.5,10.0.0.1\r\nAA-02,10.0.0.6,10.0.0.1\r\n",
    "plan-export": "\ufeff摄像机MAC,IP地址,网关)\r\n'=1,10.0.0.5,10.0.0.1\r\n\"a,\"\"b\",10.0.0.6,10.0.0.1\r\n".encode(),
    "plan-gbk-semicolons": "网关;IP地址;摄像机MAC;名称\n10.0.0.1;10.0.0.5;大门;x\n".encode("gbk"),
    "plan-tabs-quotes": b"mac\tip\tgateway\n\"a\r\nb\"\t10.0.0.5\t10.0.0.1\n\"open\t1.2.3.4\t1.2.3.1\n",
    "plan-problems": b"MAC,IP,Gateway\nA,10.0.0.5,10.0.1.1\na,10.0.0.5,10.0.0.1\nB,127.0.0.1,0.0.0.0\nC,1.2.3\n,1.1.1.1,1.1.1.2\n",
    "plan-missing-column": b"MAC;name\nA;x\n",
    "plan-hostile-texts": b"MAC,IP,Gateway\n\x1b]0;x\x07\xc2\x9b\xe2\x80\xae\\,10.0.0.5,10.0.0.1\n\xff\xfe\x00\n",
}


def write(folder, seeds):
    target = HERE / "corpus" / folder
    target.mkdir(parents=True, exist_ok=True)
    for name, data in seeds.items():
        (target / name).write_bytes(data)


if __name__ == "__main__":
    write("receive_path_fuzzer", RECEIVE_SEEDS)
    write("calc_fuzzer", CALC_SEEDS)
    write("site_plan_fuzzer", PLAN_SEEDS)
