#!/usr/bin/python3
"""check --format sarif against the SARIF 2.1.0 JSON schema, on real output.

Writes the scenario's descriptions into a temporary folder, breaks them the ways authors do,
runs `compattatore check --format sarif` on each and validates what it printed; files given
with --file (documents a test made) are validated too. One line per case; exit status 1 when
any document is invalid.
"""

import argparse
import json
import os
import pathlib
import shutil
import subprocess
import sys
import tempfile

import jsonschema

LINE = "Torino_Piacenza_linea.txt"
TRAIN = "Torino_Piacenza_2063-.txt"


def edit(path, old, new, count=1):
    text = path.read_bytes()
    if old not in text:
        raise SystemExit(f"{path.name}: {old!r} not found")
    path.write_bytes(text.replace(old, new, count))


def cases(exe, base):
    """(name, folder, arguments) for each broken text; each case gets its own copy."""
    def fresh(name):
        folder = base / name
        folder.mkdir()
        subprocess.run([exe, "sources", "-o", str(folder)], check=True, capture_output=True)
        return folder

    yield "clean", fresh("clean"), [LINE, TRAIN]
    f = fresh("off_grid_station")
    edit(f / TRAIN, b"stazione,   90800,", b"stazione,   90820,")
    yield "off_grid_station", f, [LINE, TRAIN]
    f = fresh("several_mistakes")
    edit(f / TRAIN, b"stazione,   90800,", b"stazine,   90800,")
    edit(f / LINE, b"pendenza,  0,", b"-pendenza,  0,")
    edit(f / TRAIN, b"segnale,", b"segnale; ")
    yield "several_mistakes", f, [LINE, TRAIN]
    f = fresh("colliding_signal")
    edit(f / TRAIN, b"segnale,    4100,", b"segnale,    2810,")
    yield "colliding_signal", f, [LINE, TRAIN]
    f = fresh("utf8_refused")
    edit(f / TRAIN, b"ALESSANDRIA", "SAN NICOL\u00d2 \u20ac".encode("utf-8"))
    yield "utf8_refused", f, [LINE, TRAIN, "--input-encoding", "utf-8"]
    f = fresh("swapped")
    yield "swapped", f, [TRAIN, LINE, "--line", "Torino_Piacenza", "--train", "2063"]
    f = fresh("utf8_text")
    edit(f / TRAIN, b"ALESSANDRIA", "SAN NICOL\u00d2".encode("utf-8"))
    yield "utf8_text", f, [LINE, TRAIN]
    f = fresh("odd_path")
    odd = f / "my d\u00eer #1"
    odd.mkdir()
    shutil.move(str(f / LINE), str(odd / LINE))
    shutil.move(str(f / TRAIN), str(odd / TRAIN))
    edit(odd / TRAIN, b"stazione,   90800,", b"stazione,   90820,")
    yield "odd_path", f, [str(odd / LINE), str(odd / TRAIN)]
    f = fresh("missing_line_file")
    yield "missing_line_file", f, ["nowhere_linea.txt", TRAIN, "--line", "Torino_Piacenza"]


def problems(document, validator):
    found = [e.message for e in validator.iter_errors(document)]
    # The schema cannot say that a result's rule index names its rule.
    for run in document.get("runs", []):
        rules = run.get("tool", {}).get("driver", {}).get("rules", [])
        for r in run.get("results", []):
            if "ruleIndex" not in r:
                continue
            i = r["ruleIndex"]
            if not 0 <= i < len(rules) or rules[i]["id"] != r.get("ruleId"):
                found.append(f"result {r.get('ruleId')} has rule index {i}")
    return found


def main():
    parser = argparse.ArgumentParser()
    parser.add_argument("--schema", required=True)
    parser.add_argument("--exe")
    parser.add_argument("--file", action="append", default=[])
    args = parser.parse_args()
    schema = json.loads(pathlib.Path(args.schema).read_text(encoding="utf-8"))
    validator = jsonschema.Draft4Validator(schema)
    failed = 0
    documents = [(f, json.loads(pathlib.Path(f).read_text(encoding="utf-8"))) for f in args.file]
    with tempfile.TemporaryDirectory() as tmp:
        if args.exe:
            for name, folder, argv in cases(args.exe, pathlib.Path(tmp)):
                p = subprocess.run([args.exe, "check", "--format", "sarif", *argv], cwd=folder,
                                   capture_output=True, env=dict(os.environ, NO_COLOR="1"))
                if p.returncode not in (0, 1):
                    print(f"{name}: check exited {p.returncode}: {p.stderr.decode()}")
                    failed += 1
                    continue
                documents.append((name, json.loads(p.stdout.decode("utf-8"))))
        for name, document in documents:
            found = problems(document, validator)
            results = sum(len(r.get("results", [])) for r in document.get("runs", []))
            print(f"{name}: {results} results, " + ("valid" if not found else "INVALID"))
            for message in found[:10]:
                print(f"  {message}")
            failed += bool(found)
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
