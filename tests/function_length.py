#!/usr/bin/env python3
"""Lists the C++ functions whose body runs over a number of lines.

    function_length.py LIMIT DIR...   every .cpp and .h below the folders

Prints "file:line name lines" for each and exits 1 when there is any. A function is
a brace block after a closing parenthesis at namespace or class level; lambdas and
blocks inside it count as its lines. Comments and literals are blanked first.
"""
import os
import re
import sys

def strip(text):
    # Blank out comments, string and char literals, keeping newlines.
    out, i, n = [], 0, len(text)
    while i < n:
        c = text[i]
        if text.startswith('//', i):
            j = text.find('\n', i); j = n if j < 0 else j
            out.append(' ' * (j - i)); i = j
        elif text.startswith('/*', i):
            j = text.find('*/', i + 2); j = n if j < 0 else j + 2
            out.append(re.sub(r'[^\n]', ' ', text[i:j])); i = j
        elif c == 'R' and text.startswith('R"', i):
            m = re.match(r'R"([^(]*)\(', text[i:])
            end = text.find(')' + m.group(1) + '"', i)
            j = end + len(m.group(1)) + 2
            out.append('""' + re.sub(r'[^\n]', ' ', text[i + 2:j])); i = j
        elif c in '"\'':
            j = i + 1
            while j < n and text[j] != c:
                j += 2 if text[j] == '\\' else 1
            out.append(c + ' ' * (j - i - 1) + c); i = j + 1
        else:
            out.append(c); i += 1
    return ''.join(out)

def functions(path):
    text = strip(open(path, encoding='utf-8', errors='replace').read())
    stack, last, results = [], 0, []   # stack of (kind, start_line, name)
    for pos, ch in enumerate(text):
        if ch in ';':
            last = pos + 1
        elif ch == '{':
            head = text[last:pos]
            inside_fn = any(k == 'fn' for k, _, _ in stack)
            kind = 'other'
            if not inside_fn:
                h = ' '.join(head.split())
                if re.match(r'^(namespace\b|extern\s*"")', h) or re.search(r'\bnamespace\b', h):
                    kind = 'ns'
                elif re.search(r'\b(class|struct|union|enum)\b[^()]*$', h):
                    kind = 'class'
                elif ')' in h and not re.search(r'=\s*$', h) and not h.endswith('='):
                    kind = 'fn'
            name = ''
            if kind == 'fn':
                m = re.search(r'([~\w:]+(?:operator\S*)?)\s*\(', head)
                name = m.group(1) if m else head.strip()[:40]
            stack.append((kind, text.count('\n', 0, pos) + 1, name))
            last = pos + 1
        elif ch == '}':
            if stack:
                kind, start, name = stack.pop()
                if kind == 'fn':
                    end = text.count('\n', 0, pos) + 1
                    results.append((start, end - start + 1, name))
            last = pos + 1
    return results

def sources(folders):
    for folder in folders:
        for root, _, names in sorted(os.walk(folder)):
            for name in sorted(names):
                if name.endswith(('.cpp', '.h')):
                    yield os.path.join(root, name)


def main():
    limit = int(sys.argv[1])
    over = 0
    for path in sources(sys.argv[2:]):
        for start, length, name in functions(path):
            if length > limit:
                print(f'{path}:{start} {name} {length} lines (at most {limit})')
                over += 1
    return 1 if over else 0


if __name__ == '__main__':
    sys.exit(main())
