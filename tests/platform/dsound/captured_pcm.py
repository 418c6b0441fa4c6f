#!/usr/bin/env python3
"""Checks that a capture of played sound holds the PCM of a source WAV file
once, contiguous, with only zero bytes before and after it.

Usage: captured_pcm.py SOURCE.wav CAPTURE [--raw]
CAPTURE is a WAV file, or with --raw the bare PCM a sound device wrote.
Prints the byte offset of the source in the capture's PCM."""
import sys
import wave


def pcm_of(path):
    with wave.open(path, 'rb') as w:
        return w.readframes(w.getnframes())


def main():
    source = pcm_of(sys.argv[1])
    if '--raw' in sys.argv[3:]:
        with open(sys.argv[2], 'rb') as f:
            capture = f.read()
    else:
        capture = pcm_of(sys.argv[2])
    at = capture.find(source)
    if at < 0:
        sys.exit('the source PCM is not in the capture (%d bytes)' % len(capture))
    if capture.find(source, at + 1) >= 0:
        sys.exit('the source PCM is in the capture twice')
    before, after = capture[:at], capture[at + len(source):]
    if before.strip(b'\0') or after.strip(b'\0'):
        sys.exit('non-zero bytes around the source PCM')
    print('offset %d' % at)


main()
