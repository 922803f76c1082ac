#!/usr/bin/env python3
"""Runs the truth tool's row comparison; fails when fewer rows match than the file is known to
match (the rest of the rows hold data changed after the creation script ran)."""
import re, subprocess, sys

truth_tool, cli, database, truth, expected = sys.argv[1:6]
out = subprocess.run([sys.executable, truth_tool, 'compare', '--cli', cli, '--db', database, '--truth', truth],
                     capture_output=True, text=True)
print(out.stdout[-6000:], out.stderr[-2000:])
last = re.search(r'^fidelity: (\d+)/(\d+) rows matched', out.stdout, re.M)
sys.exit(0 if last and int(last.group(1)) >= int(expected) else 1)
