#!/usr/bin/env python3
"""Writes samples/norvane-demo.mot, the demo firmware the project ships.

The content is a deterministic test pattern made here (no product code): a "boot area" in
flash block 1 at 0x0000 (so a download programs and verifies the application header) and an
application area from 0x3000 with a readable banner, pseudo-random bytes from a fixed-seed
xorshift generator and one blank (all 0xFF) gap of two 128-byte steps that a download skips.
About 16 KiB in all: a download at 19200 baud takes about 9.5 seconds.

    python3 samples/make-demo.py            # rewrites samples/norvane-demo.mot
"""
import os

BANNER = b"NORVANE DEMO FIRMWARE 1.0 - generated test pattern, not a product image. "


def xorshift32(seed):
    state = seed
    while True:
        state ^= (state << 13) & 0xFFFFFFFF
        state ^= state >> 17
        state ^= (state << 5) & 0xFFFFFFFF
        yield state & 0xFF


def build_image():
    image = {}
    # Block 1: 3 KiB from 0x0000. A table of 16-bit "vectors" pointing into 0x3000.., then a
    # counting pattern.
    for i in range(0, 0x0C00):
        if i < 0x100:
            vector = 0x3000 + (i // 2) * 0x40
            image[i] = (vector >> 8) & 0xFF if i % 2 == 0 else vector & 0xFF
        else:
            image[i] = (i * 7 + (i >> 8)) & 0xFF
    # Application: 13 KiB from 0x3000, banner first, then pseudo-random bytes.
    rand = xorshift32(0x4E4F5256)  # "NORV"
    for i, address in enumerate(range(0x3000, 0x6400)):
        image[address] = BANNER[i] if i < len(BANNER) else next(rand)
    # A blank gap of two steps: nothing is sent for it.
    for address in range(0x4800, 0x4900):
        del image[address]
    # Never 0xFF by accident at the very end, so the range ends at 0x63FF.
    image[0x63FF] = 0x5A
    return image


def record(rec_type, address, data, address_bytes):
    body = bytes([address_bytes + len(data) + 1]) + address.to_bytes(address_bytes, "big") + data
    checksum = 0xFF - (sum(body) & 0xFF)
    return "S%d%s%02X" % (rec_type, body.hex().upper(), checksum)


def main():
    image = build_image()
    lines = [record(0, 0, b"norvane-demo", 2)]
    addresses = sorted(image)
    run_start = None
    data = bytearray()
    for address in addresses + [None]:
        if run_start is not None and (address is None or address != run_start + len(data)
                                      or len(data) == 32):
            lines.append(record(2, run_start, bytes(data), 3))
            run_start, data = None, bytearray()
        if address is None:
            break
        if run_start is None:
            run_start = address
        data.append(image[address])
    lines.append(record(8, 0, b"", 3))
    out = os.path.join(os.path.dirname(os.path.abspath(__file__)), "norvane-demo.mot")
    with open(out, "w", newline="") as f:
        f.write("".join(line + "\r\n" for line in lines))
    print("wrote %s: %d records, %d data bytes" % (out, len(lines), len(image)))


if __name__ == "__main__":
    main()
