#!/usr/bin/env python3
"""The two catalogues against the sources: every text marked in the windows
has its translation in both, an English window shows no Hangul, placeholders
survive translation, and no Korean text is shown unmarked.
   catalogue_check.py SOURCE_DIR LUPDATE"""
import os, re, shutil, subprocess, sys, tempfile
import xml.etree.ElementTree as ET

src_dir, lupdate = sys.argv[1], sys.argv[2]
hangul = re.compile('[\uac00-\ud7a3]')
placeholder = re.compile(r'%\d')
word = re.compile(r'[a-z]{3,}')
problems = []

with tempfile.TemporaryDirectory() as tmp:
    copies = []
    for lang in ('en', 'ko'):
        copy = os.path.join(tmp, 'zolt7_%s.ts' % lang)
        shutil.copy(os.path.join(src_dir, 'translations', 'zolt7_%s.ts' % lang), copy)
        copies.append(copy)
    # The catalogues as lupdate would leave them now: a text marked since is unfinished.
    subprocess.run([lupdate, '-silent', '-locations', 'none', '-no-obsolete', '-no-ui-lines',
                    os.path.join(src_dir, 'VelmoraView'), '-ts'] + copies, check=True)
    counts = {}
    for copy, lang in zip(copies, ('en', 'ko')):
        n = 0
        for ctx in ET.parse(copy).getroot().iter('context'):
            name = ctx.find('name').text
            for m in ctx.iter('message'):
                n += 1
                s = m.find('source').text or ''
                t = m.find('translation')
                text = t.text or ''
                where = '%s %s: %r' % (lang, name, s)
                if t.get('type') in ('unfinished', 'vanished', 'obsolete') or not text:
                    problems.append(where + ' has no translation (run scripts/lupdate, then translate)')
                    continue
                if sorted(placeholder.findall(s)) != sorted(placeholder.findall(text)):
                    problems.append(where + ' loses or adds a placeholder: %r' % text)
                if lang == 'en' and hangul.search(text):
                    problems.append(where + ' is Korean in the English catalogue: %r' % text)
                # A name ("Excel", "PDF") may stay; a sentence may not.
                if lang == 'ko' and not hangul.search(text) and ' ' in s.strip() and word.search(s):
                    problems.append(where + ' is not Korean in the Korean catalogue: %r' % text)
        counts[lang] = n
    if counts.get('en', 0) < 100:
        problems.append('only %d texts marked: the windows are not marked for translation' % counts.get('en', 0))

# A Korean text in the windows' code that no catalogue sees.
marked = re.compile(r'\btr\(|translate\(|QT_TRANSLATE_NOOP|DebugLine|DebugPrint')
for root, _, files in os.walk(os.path.join(src_dir, 'VelmoraView')):
    for f in files:
        if not f.endswith(('.cpp', '.h')):
            continue
        path = os.path.join(root, f)
        for no, line in enumerate(open(path, encoding='utf-8'), 1):
            code = line.split('//')[0]
            if '"' in code and hangul.search(code) and not marked.search(code):
                problems.append('%s:%d shows Korean unmarked: %s' % (os.path.relpath(path, src_dir), no, line.strip()))

for p in problems:
    print(p)
print('catalogues: %s texts; %d problems' % (counts, len(problems)))
sys.exit(1 if problems else 0)
