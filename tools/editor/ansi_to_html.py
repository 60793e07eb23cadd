#!/usr/bin/python3
"""Renders a terminal capture (tmux capture-pane -e) as an HTML page of the same cells."""
import html
import re
import sys

BASE = ['#000000', '#cd0000', '#00cd00', '#cdcd00', '#0000ee', '#cd00cd', '#00cdcd', '#e5e5e5',
        '#7f7f7f', '#ff0000', '#00ff00', '#ffff00', '#5c5cff', '#ff00ff', '#00ffff', '#ffffff']


def palette(n):
    if n < 16:
        return BASE[n]
    if n < 232:
        n -= 16
        steps = [0, 95, 135, 175, 215, 255]
        return '#%02x%02x%02x' % (steps[n // 36], steps[n // 6 % 6], steps[n % 6])
    v = 8 + (n - 232) * 10
    return '#%02x%02x%02x' % (v, v, v)


def apply(codes, st):
    i = 0
    while i < len(codes):
        c = codes[i]
        if c == 0:
            st.clear()
        elif c == 1:
            st['bold'] = True
        elif c == 22:
            st.pop('bold', None)
        elif c == 4:
            st['underline'] = True
        elif c == 24:
            st.pop('underline', None)
        elif c == 7:
            st['reverse'] = True
        elif c == 27:
            st.pop('reverse', None)
        elif 30 <= c <= 37 or 90 <= c <= 97:
            st['fg'] = BASE[c - 30 if c < 90 else c - 82]
        elif 40 <= c <= 47 or 100 <= c <= 107:
            st['bg'] = BASE[c - 40 if c < 100 else c - 92]
        elif c in (38, 48) and i + 1 < len(codes):
            key = 'fg' if c == 38 else 'bg'
            if codes[i + 1] == 5 and i + 2 < len(codes):
                st[key] = palette(codes[i + 2])
                i += 2
            elif codes[i + 1] == 2 and i + 4 < len(codes):
                st[key] = '#%02x%02x%02x' % tuple(codes[i + 2:i + 5])
                i += 4
        elif c == 39:
            st.pop('fg', None)
        elif c == 49:
            st.pop('bg', None)
        i += 1


def style(st):
    fg, bg = st.get('fg', '#d0d0d0'), st.get('bg', '#101010')
    if st.get('reverse'):
        fg, bg = bg, fg
    css = 'color:%s;background:%s' % (fg, bg)
    if st.get('bold'):
        css += ';font-weight:bold'
    if st.get('underline'):
        css += ';text-decoration:underline'
    return css


def main():
    text = sys.stdin.read()
    out, st = [], {}
    for part in re.split(r'(\x1b\[[0-9;:]*m)', text):
        if part.startswith('\x1b['):
            apply([int(x) if x else 0 for x in re.split('[;:]', part[2:-1])], st)
        elif part:
            out.append('<span style="%s">%s</span>' % (style(st), html.escape(part)))
    sys.stdout.write('<!DOCTYPE html><html><head><meta charset="utf-8"><style>'
                     'body{margin:0;background:#101010}pre{margin:8px;font:12px/1.25 '
                     '"DejaVu Sans Mono",monospace}</style></head><body><pre>' + ''.join(out) +
                     '</pre></body></html>\n')


main()
