"""Reads a job file written by the program with an independent reader of compound files."""
import os
import struct
import sys

import olefile


def main(path):
    assert olefile.isOleFile(path), "not a compound file"
    ole = olefile.OleFileIO(path)
    try:
        assert ole.sectorsize == 4096, "new jobs use 4096-byte sectors, found %d" % ole.sectorsize
        names = {"/".join(entry) for entry in ole.listdir(streams=True, storages=True)}
        for needed in ("@Header", "@Usage", "@Attributes", "@Images-Individual", "@Images-Individual/@List"):
            assert needed in names, "missing %s in %s" % (needed, sorted(names))

        header = ole.openstream("@Header").read()
        assert header[:6] == b"@plj@\0", header[:6]
        schema, = struct.unpack_from("<H", header, 6)
        assert schema == 0x0100, hex(schema)
        job_id = header[8:24]
        with open(path + ".id") as f:
            assert job_id.hex() == f.read().strip(), "job identifier"
        assert header[24:26] == b"\0\0"
        text_length = header[26]
        assert text_length == 0
        counter, = struct.unpack_from("<I", header, 27)
        assert counter == 2, counter
        assert len(header) == 31, len(header)

        usage = ole.openstream("@Usage").read()
        assert struct.unpack_from("<H", usage, 0)[0] == 0x0100
        assert struct.unpack_from("<H", usage, 2)[0] == 0x0100
        title_length = usage[4]
        assert usage[5:5 + title_length] == b"Pellorin", usage[5:5 + title_length]

        attributes = ole.openstream("@Attributes").read()
        assert struct.unpack_from("<H", attributes, 0)[0] == 0x0200
        first = attributes[2]
        second = attributes[3 + first]
        assert attributes[4 + first:4 + first + second] == b"template folder"

        listing = ole.openstream("@Images-Individual/@List").read()
        assert struct.unpack_from("<HHII", listing, 0)[:2] == (0x0100, 0x0100)
        count, = struct.unpack_from("<I", listing, 12)
        assert count == 3, count
    finally:
        ole.close()
    print("job file read by olefile: ok")
    if os.path.exists(path + ".details.plj"):
        check_details(path + ".details.plj")
    if os.path.exists(path + ".icm.plj"):
        check_profile(path + ".icm.plj", path + ".icm.plj.icc")
    if os.path.exists(path + ".libraries.plj"):
        check_libraries(path + ".libraries.plj", path + ".libraries.plj.keys")


def schema(ole, name):
    return struct.unpack_from("<H", ole.openstream(name).read(), 0)[0]


def check_details(path):
    ole = olefile.OleFileIO(path)
    try:
        assert schema(ole, "@Details/@Attributes") == 0x0200, "image tags make version 2"
        assert schema(ole, "@Details/@File") == 0x0100
        assert schema(ole, "@Details/@Subjects/@List") == 0x0100
        for name in ("@List", "@Links", "@Links#ImagesFolder", "@Links#FolderImage", "@Links#Subjects",
                     "@Links#SubjectsHome", "@Links#SubjectsRelationships", "@Links#Groups", "@Links#Composites"):
            assert schema(ole, "@Details/@Folders/" + name) == 0x0100, name
    finally:
        ole.close()
    print("details section read by olefile: ok")


def check_profile(path, profile_path):
    ole = olefile.OleFileIO(path)
    try:
        stream = ole.openstream("@Images-Individual/@ICM").read()
        assert struct.unpack_from("<i", stream, 0)[0] == -2, "an embedded profile"
        with open(profile_path, "rb") as f:
            assert stream[4:] == f.read(), "the profile byte for byte"
        assert not ole.exists("@ICM"), "nothing at the older root place"
    finally:
        ole.close()
    print("embedded profile read by olefile: ok")


def check_libraries(path, keys_path):
    with open(keys_path) as f:
        keys = dict(line.split() for line in f if line.strip())
    ole = olefile.OleFileIO(path)
    try:
        for library in ("@Graphics", "@Masks", "@Backgrounds"):
            assert schema(ole, library + "/@List") == 0x0100, library
            assert schema(ole, library + "/@Links") == 0x0100, library
            listing = ole.openstream(library + "/@List").read()
            count, = struct.unpack_from("<I", listing, 4)
            items = [entry[1] for entry in ole.listdir(streams=True) if entry[0] == library and entry[1].startswith("-")]
            assert len(items) == count, (library, count, items)
            if library in keys:
                assert items == ["-" + keys[library]], (library, items)
                item = ole.openstream(library + "/" + items[0]).read()
                assert struct.unpack_from("<H", item, 0)[0] == 0x0100
                draft, = struct.unpack_from("<I", item, 2)
                full, = struct.unpack_from("<I", item, 6 + draft)
                assert len(item) == 10 + draft + full, (len(item), draft, full)
    finally:
        ole.close()
    print("picture libraries read by olefile: ok")


if __name__ == "__main__":
    main(sys.argv[1])
