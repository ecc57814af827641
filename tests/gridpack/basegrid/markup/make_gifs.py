#!/usr/bin/env python3
# Writes the small GIF fixtures of these tests: frames are encoded with a
# clear code before every second pixel, so the codes stay 3 bits wide.
import struct, sys, os

PALETTE = bytes([0,0,0, 255,0,0, 0,255,0, 0,0,255])

def lzw(pixels):
    codes = []
    for i, p in enumerate(pixels):
        if i % 2 == 0:
            codes.append(4)  # clear
        codes.append(p)
    codes.append(5)  # end of information
    out, acc, n = bytearray(), 0, 0
    for c in codes:
        acc |= c << n
        n += 3
        while n >= 8:
            out.append(acc & 0xFF); acc >>= 8; n -= 8
    if n:
        out.append(acc & 0xFF)
    blocks = bytearray([2])  # minimum code size
    for i in range(0, len(out), 255):
        chunk = out[i:i+255]
        blocks += bytes([len(chunk)]) + chunk
    return bytes(blocks + b'\x00')

def gif(w, h, frames, gce=True):
    d = bytearray(b'GIF89a') + struct.pack('<HHBBB', w, h, 0x81, 0, 0) + PALETTE
    for (x, y, fw, fh, colour, delay) in frames:
        if gce:
            d += bytes([0x21, 0xF9, 4, 0]) + struct.pack('<H', delay) + bytes([0, 0])
        d += bytes([0x2C]) + struct.pack('<HHHHB', x, y, fw, fh, 0)
        d += lzw([colour] * (fw * fh))
    d += b'\x3B'
    return bytes(d)

here = os.path.dirname(os.path.abspath(__file__))
files = {
    'anim3.gif': gif(8, 6, [(0, 0, 8, 6, 1, 10), (2, 1, 4, 3, 2, 20), (1, 2, 3, 2, 3, 30)]),
    'one.gif': gif(5, 4, [(0, 0, 5, 4, 3, 7)]),
    'plain.gif': gif(3, 3, [(0, 0, 3, 3, 1, 0)], gce=False),
}
targets = [here] + sys.argv[1:]
for t in targets:
    for name, data in files.items():
        with open(os.path.join(t, name), 'wb') as f:
            f.write(data)
