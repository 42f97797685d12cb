#!/usr/bin/env python3
"""Writes the made-up demo ROMs and menu template that docs/report.md shows, into the folder given.

No real game: each file is a byte pattern with a Game Boy cartridge header filled in by hand, some of them
wrong on purpose so that the header warnings show.
"""
import sys
from pathlib import Path

BLOCK = 32 * 1024


def header_checksum(rom: bytearray) -> int:
    x = 0
    for offset in range(0x134, 0x14D):
        x = (x - rom[offset] - 1) & 0xFF
    return x


def make_rom(path: Path, blocks: int, title: str, cartridge_type: int, rom_size_code: int, ram_size_code: int,
             colour_flag: int = 0x00, wrong_checksum: bool = False) -> None:
    seed = sum(title.encode()) or 1
    rom = bytearray((seed * 31 + i * 7 + (i >> 15)) & 0xFF for i in range(blocks * BLOCK))
    rom[0x100:0x104] = bytes([0x00, 0xC3, 0x50, 0x01])  # nop; jp 0x150
    rom[0x104:0x134] = bytes(0x30)                       # no logo: these are not games
    rom[0x134:0x144] = title.encode().ljust(16, b"\0")[:16]
    rom[0x143] = colour_flag if colour_flag else rom[0x143]
    rom[0x144:0x147] = b"\0\0\0"
    rom[0x147] = cartridge_type
    rom[0x148] = rom_size_code
    rom[0x149] = ram_size_code
    rom[0x14A:0x14D] = b"\x01\x00\x00"
    rom[0x14D] = header_checksum(rom) ^ (0x5A if wrong_checksum else 0)
    path.write_bytes(rom)


def main() -> None:
    folder = Path(sys.argv[1] if len(sys.argv) > 1 else "demo")
    folder.mkdir(parents=True, exist_ok=True)
    (folder / "Menu.GB").write_bytes(bytes((i * 13) & 0xFF for i in range(BLOCK)))
    make_rom(folder / "PUZZLE.GB", 1, "PUZZLE", 0x00, 0x00, 0x00)
    make_rom(folder / "RACER.GB", 4, "RACER", 0x01, 0x02, 0x00)
    make_rom(folder / "QUEST.GB", 32, "QUEST", 0x03, 0x05, 0x03)
    make_rom(folder / "ARCADE.GB", 64, "ARCADE", 0x19, 0x06, 0x00, colour_flag=0x80)
    make_rom(folder / "SAGA.GB", 256, "SAGA", 0x1B, 0x08, 0x04, colour_flag=0xC0)
    make_rom(folder / "PINBALL.GB", 16, "PINBALL", 0x13, 0x04, 0x03, wrong_checksum=True)
    make_rom(folder / "TENNIS.GB", 8, "TENNIS", 0x01, 0x02, 0x00)  # the header says 128 KiB, the file is 256


if __name__ == "__main__":
    main()
