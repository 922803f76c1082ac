#!/usr/bin/env python3
"""Runs the truth tool's catalog comparison and fails unless every object and column matches."""
import re, subprocess, sys

truth_tool, cli, database, truth = sys.argv[1:5]
out = subprocess.run([sys.executable, truth_tool, 'catalog', '--cli', cli, '--db', database, '--truth', truth],
                     capture_output=True, text=True)
print(out.stdout[-3000:], out.stderr[-2000:])
last = re.search(r'catalog: (\d+)/(\d+) objects and (\d+)/(\d+) columns match', out.stdout)
sys.exit(0 if last and last.group(1) == last.group(2) and last.group(3) == last.group(4) else 1)
