#!/usr/bin/env python3
# SPDX-License-Identifier: GPL-3.0-or-later
"""Compiles one language of the help into a .chm file with chmcmd.

    build-chm.py --lang en|ar --source help/en --assets assets/images \
                 --work <scratch folder> --output <folder>/HalbeetEnglish.chm [--chmcmd chmcmd]

The sources are UTF-8 HTML. They are staged into the scratch folder together with the
program's own small pictures (suits, warning, icon), checked for missing files, prepared
for the viewers below, and compiled there: chmcmd resolves every path against its
working folder, so it runs inside the staged copy.

Why the Arabic help is converted on its way in:
- CHM viewers read the contents, the index and the title in the code page of the
  project's language (Windows-1256 for Arabic), not in UTF-8; and chmcmd's full-text
  indexer crashes on a page title in multi-byte UTF-8. The Arabic files are therefore
  written in Windows-1256, which holds every character they use (the conversion stops
  the build when one does not fit).
- xCHM lays Arabic out right to left word by word but gets the spaces and the numbers
  wrong; prepare_rtl_body below adds invisible characters that put them right there
  while changing nothing in other viewers.
- chmcmd's full-text indexer crashes on many Arabic titles, so the Arabic project
  builds no search index.
"""

import argparse
import os
import re
import shutil
import subprocess
import sys

SHARED_PICTURES = ["1_p2.png", "2_p2.png", "3_p2.png", "4_p2.png", "warning.png", "halbeet-32.png"]
ENCODING = {"en": None, "ar": "cp1256"}
CHARSET_NAME = {"cp1256": "windows-1256"}

NBSP = "\u00a0"
RLM = "\u200f"
ARABIC_LETTER = re.compile("[\u0621-\u063a\u0641-\u064a\u0671-\u06d3]")
# Elements that end a line of text.
BLOCK_TAGS = {"p", "div", "h1", "h2", "h3", "h4", "h5", "h6", "td", "th", "tr", "table",
              "br", "li", "ul", "ol", "pre", "body", "html", "head", "title", "hr", "img"}
# Closing tags after whose last word xCHM needs the no-break space.
BLOCK_ENDS = {"p", "h1", "h2", "h3", "h4", "h5", "h6", "td", "th", "li", "div"}
TOKEN = re.compile(r"(<[^>]*>)|(\s+)|([^<\s]+)")


def fail(message):
    print("build-chm: " + message, file=sys.stderr)
    sys.exit(1)


def tag_name(tag):
    m = re.match(r"</?\s*([a-zA-Z0-9]+)", tag)
    return m.group(1).lower() if m else ""


def classify(tokens):
    """word, space, inline-open, inline-close, block or keep (inside <pre> or dir="ltr")."""
    kinds = []
    keep = []  # names of the open elements whose text is left as written
    for tok in tokens:
        if tok.startswith("<"):
            name = tag_name(tok)
            closing = tok.startswith("</")
            if keep:
                if closing and name == keep[-1]:
                    keep.pop()
                elif not closing and name == keep[-1]:
                    keep.append(name)
                kinds.append("keep")
                continue
            if not closing and (name == "pre" or re.search(r'dir\s*=\s*"?ltr', tok, re.IGNORECASE)):
                keep.append(name)
                kinds.append("keep")
                continue
            if name in BLOCK_TAGS:
                kinds.append("block")
            else:
                kinds.append("inline-close" if closing else "inline-open")
        elif keep:
            kinds.append("keep")
        elif tok.isspace():
            kinds.append("space")
        else:
            kinds.append("word")
    return kinds


def prepare_rtl_body(body):
    """Rewrites the text of an Arabic page so that xCHM lays it out right to left.

    xCHM cuts a line into words at the spaces, places the words from right to left, and
    draws every word with the direction of its first letter reversed. So:
    - a word keeps the space that follows it inside its own run of text (a space just
      after a closing </b> moves in front of it), and the last word of a block gets a
      no-break space, or it touches the word before it;
    - a word without Arabic letters (a number, F1, Esc) starts with a right-to-left mark,
      so that it is drawn like its Arabic neighbours, and Latin words that follow one
      another are tied into one run so they keep their own order.
    Other viewers show the same text unchanged: the added characters are invisible.
    """
    tokens = [m.group(0) for m in TOKEN.finditer(body)]
    kinds = classify(tokens)

    # Punctuation right after closing inline tags ("<b>14</b>،") joins the word inside,
    # and so does a space right after them.
    i = 0
    while i < len(tokens):
        movable = kinds[i] == "space" or (kinds[i] == "word" and not re.search(r"\w", tokens[i]))
        if movable:
            j = i
            while j > 0 and kinds[j - 1] == "inline-close":
                j -= 1
            if j < i and j > 0 and kinds[j - 1] == "word":
                moved, kind = tokens.pop(i), kinds.pop(i)
                if kind == "word":
                    tokens[j - 1] += moved
                    continue
                else:
                    tokens.insert(j, moved)
                    kinds.insert(j, kind)
        i += 1

    # Words without Arabic letters.
    previous_foreign = None  # index of the last foreign word, while nothing but one space followed
    for i, tok in enumerate(tokens):
        kind = kinds[i]
        if kind == "word":
            if ARABIC_LETTER.search(tok) or tok.startswith(RLM):
                previous_foreign = None
                continue
            if previous_foreign is not None and kinds[i - 1] == "space" and i - 2 == previous_foreign:
                tokens[i - 1] = NBSP
            else:
                tokens[i] = RLM + tok
            previous_foreign = i
        elif kind != "space":
            previous_foreign = None

    # The last word of every block keeps a space after it.
    for i, tok in enumerate(tokens):
        if kinds[i] == "block" and (tag_name(tok) in BLOCK_ENDS and tok.startswith("</") or tag_name(tok) == "br"):
            j = i - 1
            while j >= 0 and kinds[j] in ("space", "inline-close"):
                j -= 1
            if j >= 0 and kinds[j] == "word" and not tokens[j].endswith(NBSP):
                tokens[j] += NBSP
    return "".join(tokens)


def set_dir(tag, direction):
    if re.search(r"\sdir\s*=", tag, re.IGNORECASE):
        return re.sub(r'dir\s*=\s*"?\w+"?', 'dir="%s"' % direction, tag, flags=re.IGNORECASE)
    return tag[:-1].rstrip() + ' dir="%s">' % direction


def mirror_tables(body):
    """Lays every right-to-left table out left to right with its columns reversed.

    xCHM orders the columns of some right-to-left tables from the left; written this
    way every viewer shows the first column at the right. Each cell still reads right
    to left unless it says otherwise.
    """
    def mirror_row(row):
        m = re.match(r"(<tr[^>]*>)(.*)(</tr>)", row, re.IGNORECASE | re.DOTALL)
        cells = re.findall(r"<t[dh][^>]*>.*?</t[dh]>", m.group(2), re.IGNORECASE | re.DOTALL)
        mirrored = []
        for cell in reversed(cells):
            open_tag = re.match(r"<t[dh][^>]*>", cell, re.IGNORECASE).group(0)
            if not re.search(r"\sdir\s*=", open_tag, re.IGNORECASE):
                new_tag = set_dir(open_tag, "rtl")
                if not re.search(r"\salign\s*=", new_tag, re.IGNORECASE):
                    new_tag = new_tag[:-1] + ' align="right">'
                cell = new_tag + cell[len(open_tag):]
            mirrored.append(cell)
        return m.group(1) + "".join(mirrored) + m.group(3)

    def mirror_table(table):
        open_tag = re.match(r"<table[^>]*>", table, re.IGNORECASE).group(0)
        if re.search(r'dir\s*=\s*"?ltr', open_tag, re.IGNORECASE):
            return table
        inner = table[len(open_tag):]
        inner = re.sub(r"<tr[^>]*>.*?</tr>", lambda m: mirror_row(m.group(0)), inner,
                       flags=re.IGNORECASE | re.DOTALL)
        return set_dir(open_tag, "ltr") + inner

    return re.sub(r"<table[^>]*>.*?</table>", lambda m: mirror_table(m.group(0)), body,
                  flags=re.IGNORECASE | re.DOTALL)


def prepare_rtl_html(text):
    start = text.lower().find("<body")
    if start < 0:
        fail("no <body> in an Arabic page")
    return text[:start] + mirror_tables(prepare_rtl_body(text[start:]))


def stage(source, assets, work, lang):
    if os.path.exists(work):
        shutil.rmtree(work)
    shutil.copytree(source, work)
    images = os.path.join(work, "images")
    os.makedirs(images, exist_ok=True)
    for name in SHARED_PICTURES:
        src = os.path.join(assets, name)
        if not os.path.isfile(src):
            fail("missing picture " + src)
        shutil.copyfile(src, os.path.join(images, name))

    encoding = ENCODING[lang]
    for name in os.listdir(work):
        path = os.path.join(work, name)
        if not name.endswith((".html", ".hhc", ".hhk", ".hhp")):
            continue
        with open(path, encoding="utf-8") as f:
            text = f.read()
        if lang == "ar" and name.endswith(".html"):
            text = prepare_rtl_html(text)
        if encoding:
            text = re.sub(r"charset=utf-8", "charset=" + CHARSET_NAME[encoding], text, flags=re.IGNORECASE)
            try:
                data = text.encode(encoding)
            except UnicodeEncodeError as e:
                bad = text[e.start:e.end]
                fail("%s: %r cannot be written in %s" % (path, bad, encoding))
        else:
            data = text.encode("utf-8")
        with open(path, "wb") as f:
            f.write(data)


def project_file(work):
    projects = [n for n in os.listdir(work) if n.endswith(".hhp")]
    if len(projects) != 1:
        fail("expected one .hhp file in " + work)
    return projects[0]


def check_files(work, hhp):
    """Every listed file exists, every page is listed, every local link points somewhere."""
    with open(os.path.join(work, hhp), "rb") as f:
        lines = f.read().decode("latin-1").splitlines()
    listed, section, compiled = [], None, None
    for line in lines:
        line = line.strip()
        if line.startswith("["):
            section = line
        elif section == "[FILES]" and line:
            listed.append(line)
        elif line.startswith("Compiled file="):
            compiled = line.split("=", 1)[1]
    for name in listed:
        if not os.path.isfile(os.path.join(work, name)):
            fail("%s lists %s, which is missing" % (hhp, name))
    pages = sorted(n for n in os.listdir(work) if n.endswith(".html"))
    for page in pages:
        if page not in listed:
            fail("%s is not listed in %s" % (page, hhp))
        with open(os.path.join(work, page), "rb") as f:
            text = f.read().decode("latin-1")
        for ref in re.findall(r'(?:src|href)="([^"]+)"', text):
            target = ref.split("#", 1)[0]
            if not target or "://" in target:
                continue
            if not os.path.isfile(os.path.join(work, target)):
                fail("%s refers to %s, which is missing" % (page, target))
            if target not in listed:
                fail("%s refers to %s, which %s does not list" % (page, target, hhp))
    if not compiled:
        fail(hhp + " names no compiled file")
    return compiled


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--lang", required=True, choices=sorted(ENCODING))
    parser.add_argument("--source", required=True)
    parser.add_argument("--assets", required=True)
    parser.add_argument("--work", required=True)
    parser.add_argument("--output", required=True)
    parser.add_argument("--chmcmd", default="chmcmd")
    args = parser.parse_args()

    work = os.path.abspath(args.work)
    stage(os.path.abspath(args.source), os.path.abspath(args.assets), work, args.lang)
    hhp = project_file(work)
    compiled = check_files(work, hhp)

    result = subprocess.run([args.chmcmd, "--verbosity", "1", hhp], cwd=work,
                            stdout=subprocess.PIPE, stderr=subprocess.STDOUT, timeout=120)
    built = os.path.join(work, compiled)
    if result.returncode != 0 or not os.path.isfile(built) or os.path.getsize(built) == 0:
        sys.stderr.write(result.stdout.decode("utf-8", "replace"))
        fail("chmcmd failed on %s (exit code %d)" % (hhp, result.returncode))
    os.makedirs(os.path.dirname(os.path.abspath(args.output)), exist_ok=True)
    shutil.copyfile(built, args.output)


if __name__ == "__main__":
    main()
