#!/usr/bin/env python3
"""Writes small Access databases (Jet 3 and Jet 4 ".mdb") for the Access preview's tests.

No Debian tool writes ".mdb" files, so this writer builds them page by page from the public format notes
of the Jet file format: the header page with its RC4-masked region, the MSysObjects catalog on page 2,
table definition pages, data pages with row offset tables, usage maps and LVAL pages for long values.
It writes no indexes: readers find a table's pages through its usage map.

    jet_fixture_writer.py OUTDIR

writes OUTDIR/jet3.mdb and OUTDIR/jet4.mdb, then checks each with mdbtools: mdb-ver, mdb-tables,
mdb-schema, mdb-queries and mdb-export must succeed, and mdb-export must give back every row written.
The tools' answers are kept beside each file (NAME.tables, NAME.schema, NAME.queries, NAME.TABLE.csv) as
the oracle the Windows tests compare with.
"""
import csv
import datetime
import decimal
import io
import os
import struct
import subprocess
import sys
import uuid

# Column types of the table definition.
T_BOOL, T_BYTE, T_INT, T_LONG, T_MONEY, T_FLOAT, T_DOUBLE, T_DATETIME = 1, 2, 3, 4, 5, 6, 7, 8
T_TEXT, T_OLE, T_MEMO, T_GUID, T_NUMERIC = 0x0A, 0x0B, 0x0C, 0x0F, 0x10
FIXED_SIZE = {T_BOOL: 0, T_BYTE: 1, T_INT: 2, T_LONG: 4, T_MONEY: 8, T_FLOAT: 4, T_DOUBLE: 8,
              T_DATETIME: 8, T_GUID: 16, T_NUMERIC: 17}
# Catalog flags of system tables (system object, hidden).
SYSTEM_FLAGS = 0x80000002
# The key of the RC4 mask over the header page's settings.
HEADER_KEY = bytes([0xC7, 0xDA, 0x39, 0x6B])
EPOCH = datetime.datetime(1899, 12, 30)


def rc4(key, data):
    state = list(range(256))
    j = 0
    for i in range(256):
        j = (j + state[i] + key[i % len(key)]) & 0xFF
        state[i], state[j] = state[j], state[i]
    out = bytearray()
    i = j = 0
    for byte in data:
        i = (i + 1) & 0xFF
        j = (j + state[i]) & 0xFF
        state[i], state[j] = state[j], state[i]
        out.append(byte ^ state[(state[i] + state[j]) & 0xFF])
    return bytes(out)


class Column:
    def __init__(self, name, col_type, length=None, precision=18, scale=4):
        self.name, self.type = name, col_type
        self.fixed = col_type in FIXED_SIZE
        self.length = length
        self.precision, self.scale = precision, scale


class Table:
    def __init__(self, name, columns, rows, flags=0):
        self.name, self.columns, self.rows, self.flags = name, columns, rows, flags
        self.page = None


class Writer:
    def __init__(self, jet4):
        self.jet4 = jet4
        self.page_size = 4096 if jet4 else 2048
        self.pages = [None, None, None]  # header, usage maps, the catalog's definition
        self.map_rows = []  # rows of page 1 (usage maps)

    # -- values ---------------------------------------------------------------------------------
    def text_bytes(self, text, compress):
        if not self.jet4:
            return text.encode("cp1252")
        if compress and len(text) > 2 and all(0 < ord(c) < 256 for c in text):
            return b"\xff\xfe" + text.encode("latin-1")
        return text.encode("utf-16-le")

    def new_page(self):
        self.pages.append(None)
        return len(self.pages) - 1

    def data_page(self, owner, rows):
        header = 14 if self.jet4 else 10
        page = bytearray(self.page_size)
        page[0], page[1] = 1, 1
        page[4:8] = owner
        count_at = 12 if self.jet4 else 8
        struct.pack_into("<H", page, count_at, len(rows))
        end = self.page_size
        for i, row in enumerate(rows):
            start = end - len(row)
            page[start:end] = row
            struct.pack_into("<H", page, header + 2 * i, start)
            end = start
        struct.pack_into("<H", page, 2, end - (header + 2 * len(rows)))
        return bytes(page)

    def fits(self, rows, row):
        header = 14 if self.jet4 else 10
        return header + 2 * (len(rows) + 1) + sum(map(len, rows)) + len(row) <= self.page_size

    def lval_rows(self, chunks):
        """Stores chunks each on an LVAL page of its own; returns their data pointers."""
        pointers = []
        for chunk in chunks:
            number = self.new_page()
            self.pages[number] = self.data_page(b"LVAL", [chunk])
            pointers.append(number << 8)
        return pointers

    def long_value(self, data, where):
        """The 12-byte long value header (and inline data) of a memo or OLE value."""
        if where == "inline":
            return struct.pack("<I", len(data) | 0x80000000) + bytes(8) + data
        if where == "page":
            (pointer,) = self.lval_rows([data])
            return struct.pack("<III", len(data) | 0x40000000, pointer, 0)
        # Chained: each LVAL row starts with the pointer of the next part.
        part = self.page_size - (14 if self.jet4 else 10) - 2 - 4 - 200
        pieces = [data[i:i + part] for i in range(0, len(data), part)]
        numbers = [self.new_page() for _ in pieces]
        for index, piece in enumerate(pieces):
            following = numbers[index + 1] << 8 if index + 1 < len(numbers) else 0
            self.pages[numbers[index]] = self.data_page(b"LVAL", [struct.pack("<I", following) + piece])
        return struct.pack("<III", len(data), numbers[0] << 8, 0)

    def field_bytes(self, column, value):
        t = column.type
        if t == T_BYTE:
            return struct.pack("<B", value)
        if t == T_INT:
            return struct.pack("<h", value)
        if t == T_LONG:
            return struct.pack("<I", value & 0xFFFFFFFF)
        if t == T_MONEY:
            return struct.pack("<q", int(decimal.Decimal(value) * 10000))
        if t == T_FLOAT:
            return struct.pack("<f", value)
        if t == T_DOUBLE:
            return struct.pack("<d", value)
        if t == T_DATETIME:
            return struct.pack("<d", (value - EPOCH).total_seconds() / 86400.0)
        if t == T_GUID:
            return uuid.UUID(value).bytes_le
        if t == T_NUMERIC:
            number = decimal.Decimal(value)
            scaled = int(abs(number) * (10 ** column.scale))
            words = [(scaled >> (32 * k)) & 0xFFFFFFFF for k in (3, 2, 1, 0)]
            return bytes([0x80 if number < 0 else 0]) + b"".join(struct.pack("<I", w) for w in words)
        if t == T_TEXT:
            return self.text_bytes(value, compress=True)
        if t == T_MEMO:
            text, where = value
            data = text.encode("utf-16-le") if self.jet4 else text.encode("cp1252")
            return self.long_value(data, where)
        if t == T_OLE:
            data, where = value
            return self.long_value(data, where)
        raise ValueError(t)

    # -- rows -----------------------------------------------------------------------------------
    def layout(self, table):
        fixed_at, var_index = 0, 0
        for number, column in enumerate(table.columns):
            column.number = number
            if column.fixed:
                column.offset_f, column.offset_v = fixed_at, 0
                fixed_at += FIXED_SIZE[column.type]
            else:
                column.offset_f, column.offset_v = 0, var_index
                var_index += 1
        table.fixed_size, table.var_count = fixed_at, var_index

    def row_bytes(self, table, values):
        columns = table.columns
        mask = bytearray((len(columns) + 7) // 8)
        fixed = bytearray(table.fixed_size)
        var_data = []
        for column, value in zip(columns, values):
            present = value is not None
            if column.type == T_BOOL:
                present = bool(value)
            if present:
                mask[column.number // 8] |= 1 << (column.number % 8)
            if column.fixed:
                if value is not None and column.type != T_BOOL:
                    data = self.field_bytes(column, value)
                    fixed[column.offset_f:column.offset_f + len(data)] = data
            else:
                var_data.append(b"" if value is None else self.field_bytes(column, value))
        wide = self.jet4
        head = struct.pack("<H" if wide else "<B", len(columns))
        row = bytearray(head + fixed)
        offsets = []
        for data in var_data:
            offsets.append(len(row))
            row += data
        if table.var_count:
            offsets.append(len(row))  # the end of the variable data
            unit = "<H" if wide else "<B"
            if not wide and len(row) + len(offsets) + 1 + len(mask) >= 256:
                raise ValueError("Jet 3 rows of this writer stay below 256 bytes")
            for offset in reversed(offsets):
                row += struct.pack(unit, offset)
            row += struct.pack(unit, table.var_count)
        row += mask
        return bytes(row)

    def store_rows(self, owner_page, rows):
        owner = struct.pack("<I", owner_page)
        pages, current = [], []
        for row in rows:
            if current and not self.fits(current, row):
                pages.append(current)
                current = []
            current.append(row)
        if current:
            pages.append(current)
        numbers = []
        for page_rows in pages:
            number = self.new_page()
            self.pages[number] = self.data_page(owner, page_rows)
            numbers.append(number)
        return numbers

    def usage_map(self, numbers):
        # A type 0 map: the first page it covers, then one bit a page from there.
        start = min(numbers) // 8 * 8 if numbers else 0
        bitmap = bytearray((max(numbers) - start) // 8 + 1 if numbers else 1)
        for number in numbers:
            bitmap[(number - start) // 8] |= 1 << ((number - start) % 8)
        self.map_rows.append(b"\x00" + struct.pack("<I", start) + bytes(bitmap))
        return (1 << 8) | (len(self.map_rows) - 1)

    # -- table definitions ----------------------------------------------------------------------
    def table_definition(self, table, row_count, used_pointer, free_pointer):
        columns = table.columns
        table_type = 0x53 if table.flags & SYSTEM_FLAGS else 0x4E
        out = bytearray()
        if self.jet4:
            out += b"\x02\x01\x00\x00" + struct.pack("<I", 0)
            block = struct.pack("<IIIIB3sI8sBHHHIIII", 0, 0, row_count, 0, 1, b"\0\0\0", 0, bytes(8),
                                table_type, len(columns), table.var_count, len(columns), 0, 0,
                                used_pointer, free_pointer)
        else:
            out += b"\x02\x01VC" + struct.pack("<I", 0)
            block = struct.pack("<IIIBHHHIIII", 0, row_count, 0, table_type, len(columns), table.var_count,
                                len(columns), 0, 0, used_pointer, free_pointer)
        out += block
        for column in columns:
            size = FIXED_SIZE.get(column.type, 0)
            if column.type == T_TEXT:
                size = column.length * (2 if self.jet4 else 1)
            if column.type == T_BOOL:
                size = 1
            flags = (0x01 if column.fixed else 0) | 0x02
            if column.type == T_NUMERIC:
                misc = bytes([column.precision, column.scale])
            elif column.type in (T_TEXT, T_MEMO):
                misc = struct.pack("<H", 0x409)
            else:
                misc = b"\0\0"
            if self.jet4:
                misc_flags = 0x01 if column.type in (T_TEXT, T_MEMO) else 0
                out += struct.pack("<BIHHH2s2sBBIHH", column.type, 0, column.number, column.offset_v,
                                   column.number, misc, b"\0\0", flags, misc_flags, 0, column.offset_f, size)
            else:
                code_page = struct.pack("<H", 1252) if column.type in (T_TEXT, T_MEMO) else misc
                sort = struct.pack("<H", 0x409) if column.type in (T_TEXT, T_MEMO) else b"\0\0"
                out += struct.pack("<BHHH2s2sHBHH", column.type, column.number, column.offset_v, column.number,
                                   sort, code_page, 0, flags, column.offset_f, size)
        for column in columns:
            if self.jet4:
                name = column.name.encode("utf-16-le")
                out += struct.pack("<H", len(name)) + name
            else:
                name = column.name.encode("cp1252")
                out += struct.pack("<B", len(name)) + name
        out += b"\xff\xff"
        struct.pack_into("<I", out, 8, len(out))
        if self.jet4:
            struct.pack_into("<H", out, 2, self.page_size - len(out) - 8)
        if len(out) > self.page_size:
            raise ValueError("table definition larger than a page")
        return bytes(out) + bytes(self.page_size - len(out))

    def add_table(self, table, page=None):
        self.layout(table)
        table.page = page if page is not None else self.new_page()
        return table

    def finish_table(self, table):
        rows = [self.row_bytes(table, values) for values in table.rows]
        numbers = self.store_rows(table.page, rows)
        used = self.usage_map(numbers)
        free = self.usage_map([])
        self.pages[table.page] = self.table_definition(table, len(rows), used, free)

    def header(self):
        page = bytearray(self.page_size)
        page[0:4] = b"\x00\x01\x00\x00"
        page[4:20] = b"Standard Jet DB\x00"
        struct.pack_into("<I", page, 0x14, 1 if self.jet4 else 0)
        masked = bytearray(128 if self.jet4 else 126)
        # Code page 1252 at 0x3C, database key 0 at 0x3E (not encrypted), sort order 0x409.
        struct.pack_into("<H", masked, 0x3C - 0x18, 1252)
        if self.jet4:
            struct.pack_into("<I", masked, 0x6E - 0x18, 0x409)
        else:
            struct.pack_into("<H", masked, 0x3A - 0x18, 0x409)
        page[0x18:0x18 + len(masked)] = rc4(HEADER_KEY, bytes(masked))
        return bytes(page)

    def build(self, tables, queries, relations):
        catalog_columns = [Column("Id", T_LONG), Column("ParentId", T_LONG), Column("Name", T_TEXT, 255),
                           Column("Type", T_INT), Column("Flags", T_LONG), Column("DateCreate", T_DATETIME),
                           Column("DateUpdate", T_DATETIME), Column("Connect", T_MEMO),
                           Column("Database", T_MEMO), Column("ForeignName", T_TEXT, 255),
                           Column("LvProp", T_OLE)]
        catalog = self.add_table(Table("MSysObjects", catalog_columns, [], SYSTEM_FLAGS), page=2)
        query_table = self.add_table(Table("MSysQueries", [
            Column("Attribute", T_BYTE), Column("Expression", T_MEMO), Column("Flag", T_INT),
            Column("LvExtra", T_OLE), Column("Name1", T_TEXT, 255), Column("Name2", T_TEXT, 255),
            Column("ObjectId", T_LONG), Column("Order", T_LONG)], [], SYSTEM_FLAGS))
        relation_table = self.add_table(Table("MSysRelationships", [
            Column("ccolumn", T_LONG), Column("grbit", T_LONG), Column("icolumn", T_LONG),
            Column("szColumn", T_TEXT, 64), Column("szObject", T_TEXT, 64),
            Column("szReferencedColumn", T_TEXT, 64), Column("szReferencedObject", T_TEXT, 64),
            Column("szRelationship", T_TEXT, 64)], [], SYSTEM_FLAGS))
        for table in tables:
            self.add_table(table)
        created = datetime.datetime(2024, 3, 5, 10, 20, 30)
        everything = [catalog, query_table, relation_table] + tables
        catalog.rows = [[t.page, 0x0F000001, t.name, 1, t.flags, created, created, None, None, None, None]
                        for t in everything]
        query_rows = []
        for number, (name, kind_flags, steps) in enumerate(queries):
            object_id = 0x0F000100 + number
            catalog.rows.append([object_id, 0x0F000002, name, 5, kind_flags, created, created,
                                 None, None, None, None])
            for order, (attribute, flag, expression, name1, name2) in enumerate(steps):
                query_rows.append([attribute, None if expression is None else (expression, "inline"), flag,
                                   None, name1, name2, object_id, order])
        query_table.rows = query_rows
        relation_table.rows = [[1, 0, 0, column, child, parent_column, parent, name]
                               for name, child, column, parent, parent_column in relations]
        for table in everything:
            self.finish_table(table)
        map_page = self.data_page(struct.pack("<I", 0), self.map_rows)
        self.pages[1] = map_page
        self.pages[0] = self.header()
        assert all(page is not None and len(page) == self.page_size for page in self.pages)
        return b"".join(self.pages)


# -- the fixture's content --------------------------------------------------------------------------
def long_text(length, seed):
    words = ["recovered", "sector", "volume", "Grüße", "cluster", "journal", "record", "Łódź"]
    out, i = [], seed
    while sum(map(len, out)) + len(out) < length:
        out.append(words[i % len(words)])
        i += 3
    return " ".join(out)[:length]


def content(jet4):
    columns = [Column("ID", T_LONG), Column("Flag", T_BOOL), Column("Small", T_BYTE), Column("Count", T_INT),
               Column("Amount", T_MONEY), Column("Ratio", T_FLOAT), Column("Measure", T_DOUBLE),
               Column("Stamp", T_DATETIME), Column("Name", T_TEXT, 50), Column("Notes", T_MEMO),
               Column("Picture", T_OLE), Column("Key", T_GUID)]
    if jet4:
        columns.append(Column("Price", T_NUMERIC, precision=18, scale=4))
    jet3_letters = "Café Ærø"  # cp1252 holds these
    name_text = "Zoë Łukasz 漢字" if jet4 else jet3_letters
    memo_page = long_text(900 if jet4 else 600, 1)
    memo_chain = long_text(9000 if jet4 else 3000, 2)
    if not jet4:
        memo_page = memo_page.replace("Łódź", "Lodz")
        memo_chain = memo_chain.replace("Łódź", "Lodz")
    ole_page = bytes(range(256)) * 3
    rows = [
        [1, True, 200, -1234, "1234.5678", 1.5, 3.14159265358979, datetime.datetime(2021, 7, 14, 13, 45, 10),
         name_text, ("Short memo kept in the row", "inline"), (b"\x01\x02\x03OLE", "inline"),
         "6F9619FF-8B86-D011-B42D-00C04FC964FF", "-12345.6789"],
        [2, False, 0, 32767, "-0.0100", -2.25, -1e-300, datetime.datetime(1999, 12, 31, 23, 59, 59),
         "plain", (memo_page, "page"), (ole_page, "page"), "00000000-0000-0000-0000-000000000001", "0.0001"],
        [3, True, 1, -32768, "922337203685477.5807", 0.0, 0.0, datetime.datetime(1900, 1, 1, 0, 0, 0),
         "x", (memo_chain, "chain"), None, None, "99999999999999.9999"],
        [4, False, None, None, None, None, None, None, None, None, None, None, None],
    ]
    if not jet4:
        for row in rows:
            del row[12]
        rows[0][11] = "6F9619FF-8B86-D011-B42D-00C04FC964FF"
    types_name = "AllTypes"
    tables = [
        Table(types_name, columns, rows),
        Table("People", [Column("ID", T_LONG), Column("Name", T_TEXT, 40)],
              [[1, "Ann"], [2, "Bob"], [3, "Chloé"]]),
        Table("Orders", [Column("ID", T_LONG), Column("PersonID", T_LONG), Column("Total", T_MONEY)],
              [[10, 1, "19.9900"], [11, 2, "5.0000"], [12, 1, "100.2500"]]),
        Table("Big10000", [Column("N", T_LONG), Column("Label", T_TEXT, 20)],
              [[n, "Row %05d" % n] for n in range(10000)]),
        Table("Big9999", [Column("N", T_LONG), Column("Label", T_TEXT, 20)],
              [[n, "Row %05d" % n] for n in range(9999)]),
    ]
    # Query steps: (attribute, flag, expression, name1, name2); attribute 0 opens with the query kind,
    # 5 names an input table, 6 an output column, 8 the condition, 255 closes.
    queries = [
        ("PeopleQuery", 0x00, [(0, 1, None, None, None), (5, 0, None, "People", None),
                               (6, 0, "People.*", None, None), (255, 0, None, None, None)]),
        ("DeleteOldOrders", 0x20, [(0, 5, None, None, None), (5, 0, None, "Orders", None),
                                   (6, 0, "Orders.*", None, None), (8, 0, "Orders.ID<11", None, None),
                                   (255, 0, None, None, None)]),
    ]
    relations = [("PeopleOrders", "Orders", "PersonID", "People", "ID")]
    return tables, queries, relations


# -- checking with mdbtools -------------------------------------------------------------------------
def run(*args):
    result = subprocess.run(args, capture_output=True)
    if result.returncode != 0:
        raise SystemExit("%s failed: %s" % (" ".join(args), result.stderr.decode(errors="replace")))
    return result.stdout.decode("utf-8")


def expected_text(column, value):
    """The text mdb-export gives for a value (date and time as %Y-%m-%d %H:%M:%S, binary as hex)."""
    if value is None:
        return ""
    t = column.type
    if t == T_BOOL:
        return "1" if value else "0"
    if t in (T_BYTE, T_INT, T_LONG):
        return str(value)
    if t in (T_MONEY, T_NUMERIC):
        return decimal.Decimal(value)
    if t in (T_FLOAT, T_DOUBLE):
        return float(value)
    if t == T_DATETIME:
        return value.strftime("%Y-%m-%d %H:%M:%S")
    if t == T_GUID:
        # mdb-export's binary mode also turns the GUID's text into hex; its text lacks the hyphen
        # before the last group, so the hyphens are left out of the comparison.
        return ("{%s}" % value.upper().replace("-", "")).encode("ascii").hex().upper()
    if t == T_MEMO:
        return value[0]
    if t == T_OLE:
        return value[0].hex().upper()
    return value


def check(path, tables, queries, relations, jet4):
    base = path[:-4]
    version = run("mdb-ver", path).strip()
    if version != ("JET4" if jet4 else "JET3"):
        raise SystemExit("%s: mdb-ver says %s" % (path, version))
    listed = run("mdb-tables", "-S", "-1", path).split()
    for name in ["MSysObjects", "MSysQueries", "MSysRelationships"] + [t.name for t in tables]:
        if name not in listed:
            raise SystemExit("%s: mdb-tables lacks %s" % (path, name))
    user = run("mdb-tables", "-1", path).split()
    if sorted(user) != sorted(t.name for t in tables):
        raise SystemExit("%s: mdb-tables lists %s" % (path, user))
    with open(base + ".tables", "w") as out:
        out.write("\n".join(listed) + "\n")
    schema = run("mdb-schema", path)
    with open(base + ".schema", "w") as out:
        out.write(schema)
    names = run("mdb-queries", "-L", "-1", path).split()
    if sorted(names) != sorted(q[0] for q in queries):
        raise SystemExit("%s: mdb-queries lists %s" % (path, names))
    with open(base + ".relations", "w") as out:
        out.write(run("mdb-export", path, "MSysRelationships"))
    with open(base + ".queries", "w") as out:
        for name in names:
            out.write(name + "\t" + run("mdb-queries", path, name).strip().replace("\n", " ") + "\n")
    for table in tables:
        exported = run("mdb-export", "-T", "%Y-%m-%d %H:%M:%S", "-b", "hex", path, table.name)
        with open("%s.%s.csv" % (base, table.name), "w") as out:
            out.write(exported)
        rows = list(csv.reader(io.StringIO(exported)))
        if rows[0] != [c.name for c in table.columns]:
            raise SystemExit("%s %s: header %s" % (path, table.name, rows[0]))
        if len(rows) - 1 != len(table.rows):
            raise SystemExit("%s %s: %d rows" % (path, table.name, len(rows) - 1))
        for got, given in zip(rows[1:], table.rows):
            for column, text, value in zip(table.columns, got, given):
                want = expected_text(column, value)
                if isinstance(want, float):
                    same = text != "" and abs(float(text) - want) <= abs(want) * 1e-6 + 1e-300
                elif isinstance(want, decimal.Decimal):
                    same = text != "" and decimal.Decimal(text) == want
                elif column.type == T_GUID:
                    same = bytes.fromhex(text).replace(b"-", b"").hex().upper() == want
                else:
                    same = text == want
                if not same:
                    raise SystemExit("%s %s.%s: got %r, wrote %r" % (path, table.name, column.name, text[:80],
                                                                     str(want)[:80]))


def main():
    if len(sys.argv) != 2:
        raise SystemExit("usage: jet_fixture_writer.py OUTDIR")
    out_dir = sys.argv[1]
    os.makedirs(out_dir, exist_ok=True)
    for jet4, name in ((False, "jet3.mdb"), (True, "jet4.mdb")):
        tables, queries, relations = content(jet4)
        data = Writer(jet4).build(tables, queries, relations)
        path = os.path.join(out_dir, name)
        with open(path, "wb") as out:
            out.write(data)
        check(path, tables, queries, relations, jet4)


if __name__ == "__main__":
    main()
