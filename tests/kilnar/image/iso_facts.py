"""Reads an ISO 9660 image with struct and prints what the image tests
check, one `key value` line each. Usage: iso_facts.py IMAGE [START]

START is the sector the image was made for (its extents count from it)."""
import struct
import sys

SECTOR = 2048


def main():
    data = open(sys.argv[1], 'rb').read()
    start = int(sys.argv[2]) if len(sys.argv) > 2 else 0
    out = []

    def put(key, value):
        out.append('%s %s' % (key, value))

    def at(absolute):
        return (absolute - start) * SECTOR

    def sector(n):
        return data[at(n):at(n) + SECTOR]

    put('file_sectors', len(data) // SECTOR)
    put('file_whole_sectors', int(len(data) % SECTOR == 0))
    put('system_area_zero', int(data[:16 * SECTOR] == bytes(16 * SECTOR)))
    kinds = []
    n = 16
    while n < len(data) // SECTOR:
        d = data[n * SECTOR:(n + 1) * SECTOR]
        if d[1:6] != b'CD001':
            break
        kinds.append((n, d[0]))
        if d[0] == 255:
            break
        n += 1
    put('descriptors', ','.join('%d:%d' % k for k in kinds))
    pvd = data[16 * SECTOR:17 * SECTOR]
    put('pvd_copies_equal', int(pvd == data[17 * SECTOR:18 * SECTOR] == data[18 * SECTOR:19 * SECTOR]))
    size, size_be = struct.unpack_from('<I', pvd, 80)[0], struct.unpack_from('>I', pvd, 84)[0]
    put('volume_size', size if size == size_be else 'mismatch')
    put('volume_id', pvd[40:72].decode('latin-1').rstrip(' '))
    put('volume_id_padded', int(pvd[40:72].rstrip(b' ') + b' ' * (32 - len(pvd[40:72].rstrip(b' '))) == pvd[40:72]))
    put('volume_set', pvd[190:318].decode('latin-1').rstrip(' '))
    put('block_size', struct.unpack_from('<H', pvd, 128)[0])
    pt_size = struct.unpack_from('<I', pvd, 132)[0]
    l_sector = struct.unpack_from('<I', pvd, 140)[0]
    m_sector = struct.unpack_from('>I', pvd, 148)[0]
    put('path_table_size', pt_size)
    put('l_sector', l_sector)
    put('m_sector', m_sector)
    root_extent = struct.unpack_from('<I', pvd, 156 + 2)[0]
    root_length = struct.unpack_from('<I', pvd, 156 + 10)[0]
    put('root_extent', root_extent)
    put('root_length', root_length)
    put('root_record', '%d:%d:%d' % (pvd[156], pvd[156 + 25], pvd[156 + 33]))
    put('expiration', pvd[847:864].decode('latin-1').rstrip('\0') + '/' + str(pvd[863]))
    put('file_structure_version', pvd[881])
    svd = [data[k * SECTOR:(k + 1) * SECTOR] for k, t in kinds if t == 2]
    if svd:
        s = svd[0]
        put('svd_escape', s[88:91].decode('latin-1'))
        put('svd_l_sector', struct.unpack_from('<I', s, 140)[0])
        put('svd_m_sector', struct.unpack_from('>I', s, 148)[0])
        put('svd_volume_id', s[40:72].decode('utf-16-be').rstrip(' '))
        put('svd_volume_set_blank', int(s[190:318] == b'\0 ' * 64))
        put('svd_root_extent', struct.unpack_from('<I', s, 156 + 2)[0])
    # The padding: the sectors after the volume up to the file's end.
    tail = data[size * SECTOR:]
    put('padding_sectors', len(tail) // SECTOR)
    put('padding_all_46', int(tail == b'\x46' * len(tail)))

    # The path tables: M is L with its numbers byte-swapped, every record
    # names a directory whose "." is itself and whose ".." is its parent's,
    # numbers are breadth-first.
    l_table = data[at(l_sector):at(l_sector) + pt_size]
    m_table = data[at(m_sector):at(m_sector) + pt_size]
    swapped = bytearray(l_table)
    records = []
    i = 0
    while i < len(l_table):
        length = l_table[i]
        extent, parent = struct.unpack_from('<IH', l_table, i + 2)
        name = l_table[i + 8:i + 8 + length]
        records.append((extent, parent, name))
        struct.pack_into('>IH', swapped, i + 2, extent, parent)
        i += 8 + length + (length & 1)
    put('path_records', len(records))
    put('m_is_l_swapped', int(bytes(swapped) == m_table))
    consistent = True
    for number, (extent, parent, name) in enumerate(records, 1):
        d = data[at(extent):at(extent) + SECTOR]
        self_extent = struct.unpack_from('<I', d, 2)[0]
        dotdot = d[d[0]:]
        parent_extent = struct.unpack_from('<I', dotdot, 2)[0]
        if self_extent != extent or d[33] != 0 or dotdot[33] != 1 or parent_extent != records[parent - 1][0]:
            consistent = False
    put('path_tables_consistent', int(consistent))
    depth = {1: 0}
    order_ok = True
    last = (0, 0)
    for number, (extent, parent, name) in enumerate(records, 1):
        if number > 1:
            if parent >= number:
                order_ok = False
                continue
            depth[number] = depth[parent] + 1
        key = (depth[number], parent)
        if key < last:
            order_ok = False
        last = key
    put('path_table_breadth_first', int(order_ok))
    put('path_table_tail_zero', int(data[at(l_sector) + pt_size:at(l_sector + (pt_size + SECTOR - 1) // SECTOR)] ==
                                    bytes((-pt_size) % SECTOR)))

    # The root directory's records after "." and "..".
    entries = []
    for k in range(root_length // SECTOR):
        d = sector(root_extent + k)
        j = 0 if k else 68
        while j < SECTOR and d[j]:
            length = d[j]
            name = d[j + 33:j + 33 + d[j + 32]].decode('utf-8', 'replace')
            entries.append('%s:%d:%d:%d' % (name, struct.unpack_from('<I', d, j + 2)[0],
                                            struct.unpack_from('<I', d, j + 10)[0], d[j + 25]))
            j += length
    put('root_entries', '|'.join(entries))
    print('\n'.join(out))


main()
