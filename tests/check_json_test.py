#!/usr/bin/env python3
"""dravonix-check --format=json against its text report, over a collection
of every sort of input (the examples, the schema's samples, the fuzz corpora,
files without a keyboard, a missing file): the JSON parses, has one object
per file in the order of the text, and every count it gives (the keyboard's
size, the findings, what was dropped and kept with notes, the run's summary)
is the one the text report gives.

Usage: tests/check_json_test.py DRAVONIX_CHECK SOURCE_DIR
"""
import json
import os
import re
import shutil
import subprocess
import sys
import tempfile

check, source = sys.argv[1], sys.argv[2]
failures = []


def fail(message):
    failures.append(message)


SUMMARY = re.compile(r'^(.*): (\d+) panels?, (\d+) keys?, (\d+) macros?, (\d+) sounds?; '
                     r'(\d+) warnings?(?:: ([^(]*))? \(read as (\.kbd|XML)\)$')
# A group of findings: ": 12 keys, lines 3, 5, 9 [kind]" or ": 4 lines: 3, 4 [kind]".
GROUP = re.compile(r': (\d+) [a-z ]+?(?:, lines |: )[\d, \u2026]+ \[[a-z-]+\]$')
RUN = re.compile(r'^(\d+) files? checked: (\d+) clean, (\d+) with warnings, (\d+) unreadable$')


def phrase_counts(phrase):
    """{"dropped": {noun: n}, "kept_with_notes": {...}, "schema": n, "no_keyboard": n} of a
    summary's phrase such as "1 panel and 3 key lines dropped, 4 keys kept with notes"."""
    counts = {'dropped': {}, 'kept_with_notes': {}, 'schema': 0, 'no_keyboard': 0}
    for part in re.split(r', (?=\d|no keyboard)', phrase) if phrase else []:
        if part == 'no keyboard':
            counts['no_keyboard'] = 1
            continue
        if part.endswith(' from the schema'):
            counts['schema'] = int(part.split()[0])
            continue
        for suffix, key in ((' dropped', 'dropped'), (' kept with notes', 'kept_with_notes')):
            if part.endswith(suffix):
                for count, noun in re.findall(r'(\d+) ([a-z ]+?)(?:, | and |$)',
                                              part[:-len(suffix)]):
                    noun = re.sub(r'^other ', '', noun)
                    noun = noun if noun.endswith('s') else noun + 's'
                    counts[key][noun.replace(' ', '_')] = int(count)
                break
        else:
            fail(f'summary part not understood: {part!r}')
    return counts


with tempfile.TemporaryDirectory() as work:
    files = []
    for folder in ('examples', 'schema/testdata', 'fuzz/corpus/kbd', 'fuzz/corpus/xml'):
        for name in sorted(os.listdir(os.path.join(source, folder))):
            if name.endswith(('.kbd', '.xml')):
                files.append(os.path.join(source, folder, name))
    extra = os.path.join(work, 'extra')
    os.makedirs(extra)
    for name, content in (('empty.kbd', b''), ('moved.kbd', b'<keydef name="x"/>\n'),
                          ('picture.kbd', b'\x89PNG\r\n\x1a\n\0\0\0\rIHDR\0\0\0\x10'),
                          ('sounds.kbd', b'[KEYDEF]\nB\n[NOT INFLUENCED BY SHIFT]\n' +
                           b"[0,0,1,1], 5, 1, 65, 0, 'a'\n" * 14 +
                           b'[/NOT INFLUENCED BY SHIFT]\n[/KEYDEF]\n')):
        with open(os.path.join(extra, name), 'wb') as f:
            f.write(content)
    files += [extra, os.path.join(work, 'missing.kbd')]

    text = subprocess.run([check] + files, capture_output=True, encoding='utf-8',
                          errors='replace')
    run = subprocess.run([check, '--format=json'] + files, capture_output=True,
                         encoding='utf-8', errors='replace')
    if text.returncode != run.returncode:
        fail(f'exit status {run.returncode} with JSON, {text.returncode} with text')
    try:
        document = json.loads(run.stdout)
    except json.JSONDecodeError as error:
        print(f'FAIL: the JSON does not parse: {error}')
        sys.exit(1)

    # The text, file by file: finding lines, then the summary (or an error
    # line on standard error for an unreadable file).
    reports = []
    findings = 0
    notes = {}
    for line in text.stdout.splitlines():
        summary = SUMMARY.match(line)
        if summary:
            reports.append((summary, findings))
            findings = 0
        elif RUN.match(line):
            run_summary = RUN.match(line)
        elif line.endswith(' [code-page]'):
            notes[line.split(': note: ')[0]] = line.split(': note: ', 1)[1][:-len(' [code-page]')]
        else:
            group = GROUP.search(line)
            findings += int(group.group(1)) if group else 1
    readable = [entry for entry in document['files'] if entry['readable']]
    unreadable = [entry for entry in document['files'] if not entry['readable']]
    if len(readable) != len(reports):
        fail(f'{len(readable)} readable files in the JSON, {len(reports)} in the text')
    for entry, (summary, finding_lines) in zip(readable, reports):
        name, panels, keys, macros, sounds, warnings, phrase, reader = summary.groups()
        got = (entry['file'], entry['panels'], entry['keys'], entry['macros'], entry['sounds'],
               entry['warnings'], entry['reader'])
        wanted = (name, int(panels), int(keys), int(macros), int(sounds), int(warnings), reader)
        if got != wanted:
            fail(f'{name}: JSON {got}, text {wanted}')
        if len(entry['findings']) != int(warnings) or finding_lines != int(warnings):
            fail(f'{name}: {len(entry["findings"])} findings in the JSON, {finding_lines} '
                 f'in the text, {warnings} in its summary')
        if entry.get('code_page_note') != notes.get(name):
            fail(f'{name}: code page note {entry.get("code_page_note")!r} in the JSON, '
                 f'{notes.get(name)!r} in the text')
        counts = phrase_counts(phrase)
        for key in ('dropped', 'kept_with_notes', 'schema', 'no_keyboard'):
            if entry[key] != counts[key]:
                fail(f'{name}: {key} {entry[key]} in the JSON, {counts[key]} in the text')
    errors = [line for line in text.stderr.splitlines() if ': error: ' in line]
    if [e['file'] for e in unreadable] != [line.split(': error: ')[0] for line in errors]:
        fail(f'unreadable files: JSON {[e["file"] for e in unreadable]}, text {errors}')
    summary = document['summary']
    got = (summary['files'], summary['clean'], summary['with_warnings'], summary['unreadable'])
    if got != tuple(int(n) for n in run_summary.groups()):
        fail(f'run summary {got} in the JSON, {run_summary.group(0)} in the text')
    if not any(e.get('no_keyboard') for e in readable) or not unreadable:
        fail('the collection lacks a file without a keyboard or an unreadable one')

for message in failures:
    print(f'FAIL: {message}')
print(f'check json: {len(document["files"])} files, {len(failures)} failures')
sys.exit(1 if failures else 0)
