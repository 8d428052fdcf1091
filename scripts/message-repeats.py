#!/usr/bin/env python3
"""Lists the texts with Chinese characters that stand as string literals in more than one file
of src/ (comments left out), the files after each; by default only those that read as a message
(a sentence, a question, a fault, a message box title or a part of one), with --all every one
(captions, units and font names too). A message shown in several places belongs in
core/common/messages.h or its subsystem's message header (docs/DEVELOPING.md)."""
import collections
import os
import re
import sys

LITERAL = re.compile(r'"((?:[^"\\\n]|\\.)*)"')
CJK = re.compile(r'[\u3000-\u303f\u4e00-\u9fff\uff00-\uffef]')
MESSAGE = re.compile(r'[。！？!?]|不能|失败|无法|请|吗|未能|不是|超出|可能|不可信|已有|覆盖|删除|警告|保存|提示|打印|错误|损坏|\\n|：$|，$')


def strip_comment(line):
    """The line without a // comment that starts outside a string literal."""
    inside = False
    i = 0
    while i < len(line):
        c = line[i]
        if inside and c == '\\':
            i += 2
            continue
        if c == '"':
            inside = not inside
        elif not inside and line.startswith('//', i):
            return line[:i]
        i += 1
    return line


def main():
    args = [a for a in sys.argv[1:] if a != '--all']
    every = '--all' in sys.argv[1:]
    root = args[0] if args else os.path.join(os.path.dirname(os.path.abspath(__file__)), '..', 'src')
    files = collections.defaultdict(set)
    for folder, _, names in os.walk(root):
        for name in names:
            if not name.endswith(('.cpp', '.h')):
                continue
            path = os.path.join(folder, name)
            with open(path, encoding='utf-8', errors='replace') as f:
                for line in f:
                    for m in LITERAL.finditer(strip_comment(line)):
                        text = m.group(1)
                        if CJK.search(text) and (every or (len(text) > 1 and MESSAGE.search(text))):
                            files[text].add(os.path.relpath(path, root))
    repeated = {t: fs for t, fs in files.items() if len(fs) > 1}
    for text, fs in sorted(repeated.items(), key=lambda x: (-len(x[1]), x[0])):
        print(f'{len(fs)}\t{text}\t' + ' '.join(sorted(fs)))
    print(f'# {len(repeated)} of {len(files)} texts stand in more than one file', file=sys.stderr)


if __name__ == '__main__':
    main()
