#!/usr/bin/env python3
"""Prints a Windows program's machine and the version its version resource
gives: the fixed file and product numbers and the FileVersion and
ProductVersion texts, one per line ("file 1.0.0.0", "text FileVersion 1.0.0.0")."""
import struct
import sys

data = open(sys.argv[1], "rb").read()
pe = struct.unpack_from("<I", data, 0x3C)[0]
machine = struct.unpack_from("<H", data, pe + 4)[0]
print("machine", {0x14C: "win32", 0x8664: "win64"}.get(machine, hex(machine)))
sig = data.find(struct.pack("<I", 0xFEEF04BD))  # VS_FIXEDFILEINFO.dwSignature
if sig < 0:
    sys.exit("no version resource")
fms, fls, pms, pls = struct.unpack_from("<4I", data, sig + 8)
four = lambda ms, ls: f"{ms >> 16}.{ms & 0xFFFF}.{ls >> 16}.{ls & 0xFFFF}"
print("file", four(fms, fls))
print("product", four(pms, pls))
for key in ("FileVersion", "ProductVersion"):
    needle = (key + "\0").encode("utf-16-le")
    at = data.find(needle, sig)
    if at < 0:
        continue
    at += len(needle)
    at += (-at) % 4  # the value starts on a 32-bit boundary
    end = data.find(b"\0\0", at)
    while end >= 0 and (end - at) % 2:
        end = data.find(b"\0\0", end + 1)
    print("text", key, data[at:end].decode("utf-16-le"))
