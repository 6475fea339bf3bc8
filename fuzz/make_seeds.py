#!/usr/bin/env python3
"""Writes the seed corpora under fuzz/corpus/ from the captured status replies and from typical texts.

Run it again after changing the seeds below; the files it writes are committed.
"""

import pathlib
import shutil
import struct

FUZZ_DIR = pathlib.Path(__file__).resolve().parent
CORPUS_DIR = FUZZ_DIR / "corpus"
FIXTURES_DIR = FUZZ_DIR.parent / "tests" / "data" / "fixtures"

PREFIX = b"\xff\xff\xff\xffprint\n"

CLASSIC_HEAD = (b"num score ping name            lastmsg address               qport rate\n"
                b"--- ----- ---- --------------- ------- --------------------- ----- -----\n")
IOQ3_HEAD = (b"cl score ping name            address                                 rate \n"
             b"-- ----- ---- --------------- --------------------------------------- -----\n")


def fixtures():
    """(name, [datagram, ...]) for each captured reply."""
    for folder in sorted(p for p in FIXTURES_DIR.iterdir() if p.is_dir()):
        datagrams = sorted(folder.glob("datagram-*.bin"), key=lambda p: int(p.stem.split("-")[1]))
        yield folder.name, [p.read_bytes() for p in datagrams]


def joined(datagrams):
    return datagrams[0] + b"".join(d[len(PREFIX):] for d in datagrams[1:])


def classic_row(client, score, ping, name, lastmsg, address, qport=1234, rate=25000):
    row = b"%3d %5d " % (client, score) + ping.rjust(4) + b" " + name + b"^7"
    row += b" " * max(0, 16 - len(name))
    row += b"%7d " % lastmsg + address.ljust(22)
    return row + b"%5d %5d\n" % (qport, rate)


def visible_length(name):
    count, i = 0, 0
    while i < len(name):
        if name[i:i + 1] == b"^" and i + 1 < len(name) and name[i + 1:i + 2] != b"^":
            i += 2
            continue
        count += 1
        i += 1
    return count


def ioq3_row(client, score, ping, name, address, rate=25000):
    row = b"%2d %5d " % (client, score)
    row += (ping + b" ") if ping in (b"CON", b"ZMB") else ping.rjust(4) + b" "
    row += name + b" " * max(1, 16 - visible_length(name))
    row += b"^7" + address + b" " * max(1, 39 - len(address))
    return row + b" %5d\n" % rate


def quake3e_table(rows):
    """rows: (client, score, ping-or-marker, name, address, rate); columns as wide as the widest entry."""
    name_width = max([15] + [len(r[3]) for r in rows])
    address_width = max([39] + [len(r[4]) for r in rows])
    text = b"cl score ping name" + b" " * (name_width - 4) + b" address" + b" " * (address_width - 7) + b" rate\n"
    text += b"-- ----- ---- " + b"-" * name_width + b" " + b"-" * address_width + b" -----\n"
    for client, score, ping, name, address, rate in rows:
        text += b"%2d %5d " % (client, score)
        text += (b" " + ping + b" ") if not ping.isdigit() else ping.rjust(4) + b" "
        text += name.ljust(name_width) + b"^7 " + address.ljust(address_width) + b" %5d\n" % rate
    return text


CLASSIC_ROWS = (classic_row(0, 5, b"0", b"Sarge", 50, b"bot", 0, 0)
                + classic_row(1, 12, b"45", b"^1Red^7 Baron", 50, b"192.168.0.7:27960")
                + classic_row(2, -3, b"CNCT", b"Newbie", 300, b"10.9.9.9:27960")
                + classic_row(3, 0, b"ZMBI", b"Gone", 9999, b"10.9.9.8:27960")
                + classic_row(4, 7, b"999", b"SixteenByteName!", 0, b"loopback")
                + classic_row(5, 1, b"120", b"Two  Blanks", 100, b"203.0.113.200:27961", 65535, 90000))
IOQ3_ROWS = (ioq3_row(0, 0, b"10", b"Gamer00", b"198.51.100.1")
             + ioq3_row(1, 3, b"CON", b"^3Yellow^7Name", b"bot")
             + ioq3_row(2, -1, b"ZMB", b"x", b"2001:db8::1")
             + ioq3_row(3, 99, b"9999", b"AVeryLongPlayerNameHere", b"[2001:db8:85a3::8a2e:370:7334]"))
QUAKE3E_ROWS = [(0, 10, b"48", b"Visor", b"198.51.100.7:27960", 25000),
                (1, 2, b"PRM", b"^5Cyan^7LongerThanFifteen", b"bot", 0),
                (2, 0, b"CON", b"Newcomer", b"2001:db8::2", 30000),
                (3, -5, b"ZMB", b"Left", b"203.0.113.9:27960", 25000)]


def status_reply_seeds():
    seeds = {}
    for name, datagrams in fixtures():
        seeds[name] = b"\x00" + joined(datagrams)
        if len(datagrams) > 1:
            seeds[name + "-first-datagram"] = b"\x00" + datagrams[0]
    seeds["classic-rows"] = b"\x01" + CLASSIC_ROWS + b"\n"
    seeds["ioq3-rows"] = b"\x02" + IOQ3_ROWS + b"\n"
    seeds["quake3e-rows"] = b"\x03" + b" 0     4   33 Somebody         ^7 198.51.100.9:27960" + b" " * 22 + b" 25000\n\n"
    seeds["quake3e-reply"] = b"\x00" + PREFIX + b"map: q3dm6\n" + quake3e_table(QUAKE3E_ROWS) + b"\n"
    seeds["classic-crlf"] = b"\x00" + (PREFIX + b"map: q3dm17\n" + CLASSIC_HEAD + CLASSIC_ROWS + b"\n").replace(
        b"\n", b"\r\n")
    seeds["ioq3-invalid-ping"] = b"\x00" + PREFIX + b"map: q3dm7\n" + IOQ3_HEAD + ioq3_row(0, 1, b"12x", b"P",
                                                                                             b"bot") + b"\n"
    seeds["bad-password"] = b"\x00" + PREFIX + b"Bad rconpassword.\n"
    seeds["no-password"] = b"\x00" + PREFIX + b"No rconpassword set on the server.\n"
    # Mode 4: FuzzedDataProvider input from which players are printed; any bytes will do as a start.
    for i in range(3):
        seeds["printed-%02d" % i] = b"\x04" + bytes((i * 37 + k * 11) % 256 for k in range(200 + 100 * i))
    return seeds


def record(source, delay_index, payload):
    return bytes([(delay_index << 4) | source]) + struct.pack("<H", len(payload)) + payload


def status_datagrams_seeds():
    seeds = {}
    all_fixtures = list(fixtures())
    for name, datagrams in all_fixtures:
        seeds[name] = b"\x64" + b"".join(record(0, 0, d) for d in datagrams)
    # Two servers answering at once, and a reply whose second datagram comes after the window.
    a = dict(all_fixtures)["classic-q3dm6-20players"]
    b = dict(all_fixtures)["ioq3-oa_dm1-24players"]
    seeds["two-sources-interleaved"] = b"\x64" + record(0, 0, a[0]) + record(1, 2, b[0]) + record(0, 2, a[1]) + \
        record(1, 3, b[1]) + record(1, 0, b[2])
    seeds["late-continuation"] = b"\x64" + record(0, 0, b[0]) + record(0, 11, b[1]) + record(0, 0, b[2])
    seeds["repeated-reply"] = b"\x64" + record(2, 0, a[0]) + record(2, 0, a[1]) + record(2, 14, a[0]) + \
        record(2, 0, a[1])
    return seeds


def comma_list_seeds():
    texts = [b"q3dm1,q3dm7,q3tourney2", b"\"my map\",x", b"a,,b", b"\"say \"\"hi\"\"\"", b" q3dm1 , q3dm7 ",
             b"10.0.0.*,192.168.1.5,203.0.113.", b"x,", b"\"\"", b"\"unterminated", b"\"a\"b", b"a\x00b,c",
             b"\"tab\there\",caf\xc3\xa9"]
    seeds = {"text-%02d" % i: b"\x01" + t for i, t in enumerate(texts)}
    # FuzzedDataProvider cuts strings at a backslash followed by another character.
    items = [[b"q3dm1", b"q3dm7"], [b"my map", b"with,comma", b"quote\"d", b"", b"end"], [b"x", b""], [b""]]
    for i, group in enumerate(items):
        seeds["items-%02d" % i] = b"\x00" + b"\\n".join(item.replace(b"\\", b"\\\\") for item in group)
    return seeds


def key_string_seeds():
    texts = [b"say hello{ENTER}", b"^c", b"@{F4}", b"~a{TAB}{BKSP}{PGUP}",
             b"{INSERT}{DELETE}{HOME}{END}{PGDN}{PRTSC}{SHIFT}{ESCAPE}", b"map q3dm17{ENTER}", b"{f5}{F12}",
             b"{NOPE}", b"{ENTER", b"^@~x", b"kick \"Big Bob\"{enter}", b"status{ENTER}~{SHIFT}",
             b"g_gravity 800; g_speed 320{ENTER}", b"\xe9\x01\x7f{}"]
    return {"key-%02d" % i: t for i, t in enumerate(texts)}


def stored_integer_seeds():
    texts = [b"0", b"-2147483648", b"2147483647", b"2147483648", b"-2147483649", b"0x7FFFFFFF", b"0xFFFFFFFF",
             b"0x100000000", b"0X1f", b"+5", b"-0", b"", b"0x", b"0x-1", b"0x+1", b"007", b"12a", b"--1", b" 1",
             b"27960", b"1\x002", b"000000000000000000000000000042", b"0x0000000000000000000000ff"]
    return {"int-%02d" % i: t for i, t in enumerate(texts)}


def command_line_seeds():
    lines = [b"quake3.exe +set net_port 27960 +set fs_game baseq3 +set dedicated 1 +set com_hunkmegs 56 "
             b"+exec vrn2data.cfg ",
             b"\"C:\\Program Files\\Quake III Arena\\quake3.exe\" +set sv_hostname \"a \"\"b\"\" c\"",
             b"\"\" x", b"\"unterminated quote", b"a\tb  c\r\nd", b"\"\"\"\"", b"ioq3ded.x86_64 +map \"q3dm17\"\"\""]
    seeds = {"line-%02d" % i: b"\x01" + line for i, line in enumerate(lines)}
    fields = [[b"quake3.exe", b"27960", b"baseq3", b"\x01", b"\x38\x00\x00\x00", b"+set g_gametype 1"],
              [b"/opt/quake 3/ioq3ded", b"27961", b"missionpack", b"\x00", b"\x40\x00\x00\x00", b""]]
    for i, group in enumerate(fields):
        program, port, game_dir, server_type, memory, extra = group
        seeds["input-%02d" % i] = b"\x00" + b"\\n".join([program, port, game_dir]) + b"\\n" + extra + \
            memory + server_type
    return seeds


SOUND_INI = (b"[General]\nRestoreFlags=3\n\n"
             b"[ServerSettings]\nServerName=Varno - Beastly Server\nMOTD=Beastly fragging\nMaxPlayers=32\n"
             b"RConPW=secret\nMemory=0x40\n\n"
             b"[MapSettings]\nMapRotation=\"q3dm1,q3dm7,\\\"my map\\\"\"\n\n"
             b"[AdvancedSettings]\nBanIPList=10.0.0.*, 192.168.1.5\nPort=27960\nEB=1\n\n"
             b"[BotSettings]\nBotList=1011\n\n[SrvCmdLine]\nCmdLine=+set g_gametype 1\n")


def settings_file_seeds():
    return {
        "sound": SOUND_INI,
        "empty": b"",
        "comments": b"; hand-edited\n# also a comment\n[ProgramSettings]\nQuakeDir=/opt/quake3\n",
        "zero-byte": b"[ServerSettings]\nServerName=half\x00way\n",
        "no-equals": b"\x01garbage without equals\n[ServerSettings\nServerName=half",
        "typed-values": b"[ServerSettings]\nServerName=@ByteArray(\\0\\x5)\n"
                        b"MOTD=@ByteArray(abc)\nMaxPlayers=@Rect(1 2 3 4)\n",
        "escapes": b"[ServerSettings]\nServerName=\"quoted \\\"name\\\"\"\nMOTD=a\\tb\\x41\\n\n[%General]\nx=1\n",
        "crlf": SOUND_INI.replace(b"\n", b"\r\n"),
    }


def write(target, seeds):
    folder = CORPUS_DIR / target
    shutil.rmtree(folder, ignore_errors=True)
    folder.mkdir(parents=True)
    for name, data in seeds.items():
        (folder / name).write_bytes(data)


def main():
    write("status_reply", status_reply_seeds())
    write("status_datagrams", status_datagrams_seeds())
    write("comma_list", comma_list_seeds())
    write("key_string", key_string_seeds())
    write("stored_integer", stored_integer_seeds())
    write("command_line", command_line_seeds())
    write("settings_file", settings_file_seeds())
    write("settings_text", settings_file_seeds())


if __name__ == "__main__":
    main()
