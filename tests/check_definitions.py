#!/usr/bin/env python3
"""Compares `definition` for every view, procedure, function and trigger that a creation
script makes with the script's CREATE text (ends trimmed, line ends normalised)."""
import json, subprocess, sys

truth_tool, cli, database, truth = sys.argv[1:5]


def normalised(text):
    """Line ends as LF, the ends trimmed, and trailing comment lines (the script reader
    leaves them out of its CREATE texts) dropped."""
    lines = text.replace('\r\n', '\n').strip().split('\n')
    while len(lines) > 1 and lines[-1].lstrip().startswith('--'):
        lines.pop()
    return '\n'.join(lines).strip()


script = json.loads(subprocess.run([sys.executable, truth_tool, 'script', truth, '--json', '--text'],
                                   capture_output=True, text=True).stdout)
modules = script.get('modules', [])
failures = 0
for module in modules:
    name = module['name']
    expected = normalised(module.get('text') or '')
    out = subprocess.run([cli, 'definition', database, name], capture_output=True, text=True)
    decoded = normalised(out.stdout)
    if decoded != expected:
        failures += 1
        print('MISMATCH %s (%s)\n  script:  %r\n  decoded: %r' % (name, module.get('kind'), expected[:200], decoded[:200]))
print('definitions: %d/%d match' % (len(modules) - failures, len(modules)))
sys.exit(1 if failures or not modules else 0)
