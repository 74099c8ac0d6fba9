"""Writes a large organ file for the benchmark: a <ranks> section among long
runs of ordinary XML lines, some of them megabytes long, CR LF line ends."""

import sys

def main(path, size_mb):
    target = size_mb * 1024 * 1024
    short = b"".join(b'\t\t<event time="%d" note="%d" velocity="%d"/>\r\n' % (i, i % 88, i % 128)
                     for i in range(20000))
    long_line = b"\t<blob>" + b"0123456789abcdef" * (3 * 65536) + b"</blob>\r\n"
    ranks = [b"\t<ranks>\r\n"]
    for i in range(27):
        ranks.append(b'\t\t<rank id="%d">\r\n\t\t\t<device>Synth</device>\r\n' % i)
        for tag, value in ((b"channel", i), (b"volume", 100), (b"pan", 64), (b"bank", 25),
                           (b"patch1", 1), (b"patch2", 2)):
            ranks.append(b"\t\t\t<%s>%d</%s>\r\n" % (tag, value, tag))
        ranks.append(b"\t\t</rank>\r\n")
    ranks.append(b"\t</ranks>\r\n")
    ranks = b"".join(ranks)
    written = 0
    with open(path, "wb") as f:
        f.write(b'<?xml version="1.0"?>\r\n<organ>\r\n')
        n = 0
        while written < target:
            chunk = long_line if n % 40 == 39 else short
            if n == 200:
                chunk = ranks
            f.write(chunk)
            written += len(chunk)
            n += 1
        f.write(b"</organ>\r\n")

if __name__ == "__main__":
    main(sys.argv[1], int(sys.argv[2]))
