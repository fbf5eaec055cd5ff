#!/usr/bin/env python3
"""Runs the calls of tests/runner/corpus/expected.tsv against the public corpus and compares
each result with the one 4D's documentation gives.

usage: scripts/corpus-expected.py DEST [VRX] [--min PERCENT] [--collect]

DEST is a corpus as scripts/corpus.sh writes it; with --collect, scripts/corpus.sh writes it
there first when it is not there (from the mirrors it finds). Each call runs in a method of its own,
in a scratch project holding the method it tests and the corpus methods and classes of the
same project that it reaches by name. The verdicts go to DEST/expected.tsv. Prints the
share of methods (all their calls right) and of calls per kind, and the cause of each
failure. Exit status: 0 when every kind reaches PERCENT (90 by default), 1 when one does
not, 77 when DEST holds no corpus."""
import collections, csv, math, os, re, shutil, subprocess, sys, tempfile

HERE = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
CORPUS = os.path.join(HERE, "tests", "runner", "corpus")
HARNESS = "vrx_expected_call"

# Prints $result in a form that keeps its type: T text, N number, B boolean, D date.
REPORT = """
Case of
: (Value type($result)=Is text)
ECHO("T"+JSON Stringify(New collection($result)))
: (Value type($result)=Is real) | (Value type($result)=Is longint) | (Value type($result)=Is integer)
ECHO("N"+JSON Stringify(New collection($result)))
: (Value type($result)=Is boolean)
ECHO("B"+Choose($result;"True";"False"))
: (Value type($result)=Is date)
ECHO("D"+String(Year of($result))+"-"+String(Month of($result))+"-"+String(Day of($result)))
Else
ECHO("U"+String(Value type($result)))
End case
"""


def read_tsv(path):
    with open(path, encoding="utf-8") as f:
        return list(csv.DictReader(f, delimiter="\t", quoting=csv.QUOTE_NONE))


def parse_expected(text):
    """A 4D literal as ("T", str) | ("N", float) | ("B", bool) | ("D", (y, m, d)) | ("-", None)."""
    if text == "-":
        return ("-", None)
    if text in ("True", "False"):
        return ("B", text == "True")
    m = re.fullmatch(r"!(\d+)-(\d+)-(\d+)!", text)
    if m:
        return ("D", tuple(int(x) for x in m.groups()))
    if text.startswith('"') and text.endswith('"') and len(text) >= 2:
        escapes = {'"': '"', "\\": "\\", "r": "\r", "n": "\n", "t": "\t"}
        return ("T", re.sub(r"\\(.)", lambda e: escapes.get(e.group(1), e.group(0)), text[1:-1]))
    return ("N", float(text))


def parse_reported(line):
    import json
    kind, rest = line[0], line[1:]
    if kind in "TN":
        return (kind, json.loads(rest)[0])
    if kind == "B":
        return ("B", rest == "True")
    if kind == "D":
        return ("D", tuple(int(x) for x in rest.split("-")))
    return ("U", rest)


def same(expected, got):
    if expected[0] != got[0]:
        return False
    if expected[0] == "N":
        return math.isclose(expected[1], float(got[1]), rel_tol=1e-12, abs_tol=1e-12)
    return expected[1] == got[1]


def show(value):
    kind, v = value
    return {"T": lambda: '"%s"' % v, "N": lambda: repr(v), "B": lambda: str(v),
            "D": lambda: "!%04d-%02d-%02d!" % v}.get(kind, lambda: "type %s" % v)()


def project_files(manifest, repo, path):
    """The manifest files of the project holding `path` that it reaches by name, itself first."""
    root = path.split("Project/Sources/")[0]
    files = {}
    for r in manifest:
        if r["repository"] == repo and r["path"].split("Project/Sources/")[0] == root:
            files[os.path.basename(r["path"])[:-4]] = r["path"]
    return root, files


def reached(dest, repo, start_texts, files):
    """Names of the project's files reached from the texts, transitively."""
    seen, todo = set(), list(start_texts)
    lowered = {name.lower(): name for name in files}
    while todo:
        text = todo.pop()
        low = text.lower()
        for key, name in lowered.items():
            if name in seen:
                continue
            if re.search(r"(?<![\w$])" + re.escape(key) + r"(?![\w])", low):
                seen.add(name)
                with open(os.path.join(dest, repo.replace("/", "+"), files[name]), encoding="utf-8",
                          errors="replace") as f:
                    todo.append(f.read())
    return seen


def run_call(vrx, dest, manifest, row, scratch):
    repo, path = row["repository"], row["path"]
    root, files = project_files(manifest, repo, path)
    code = row["code"].replace("\\n", "\n")
    names = reached(dest, repo, [code, os.path.basename(path)[:-4]], files)
    proj = os.path.join(scratch, "p")
    shutil.rmtree(proj, ignore_errors=True)
    for sub in ("Methods", "Classes"):
        os.makedirs(os.path.join(proj, "Project", "Sources", sub))
    for name in names:
        src = files[name]
        sub = "Classes" if "/Classes/" in src else "Methods"
        shutil.copy(os.path.join(dest, repo.replace("/", "+"), src),
                    os.path.join(proj, "Project", "Sources", sub, os.path.basename(src)))
    expected = parse_expected(row["expected"])
    body = code + "\n" + (REPORT if expected[0] != "-" else "")
    with open(os.path.join(proj, "Project", "Sources", "Methods", HARNESS + ".4dm"), "w",
              encoding="utf-8") as f:
        f.write(body)
    try:
        p = subprocess.run([vrx, "run", proj, "--method", HARNESS], capture_output=True,
                           timeout=30, stdin=subprocess.DEVNULL)
    except subprocess.TimeoutExpired:
        return False, "timeout"
    out = p.stdout.decode("utf-8", "replace").splitlines()
    err = [l for l in p.stderr.decode("utf-8", "replace").splitlines() if l.strip()]
    if p.returncode != 0 or err:
        cause = err[0] if err else "status %d" % p.returncode
        return False, cause.replace(proj + "/", "")
    if expected[0] == "-":
        return True, ""
    if not out:
        return False, "no result printed"
    got = parse_reported(out[-1])
    if same(expected, got):
        return True, ""
    return False, "got %s, expected %s" % (show(got), show(expected))


def main():
    args = sys.argv[1:]
    minimum = 90.0
    if "--min" in args:
        i = args.index("--min")
        minimum = float(args[i + 1])
        del args[i:i + 2]
    collect = "--collect" in args
    if collect:
        args.remove("--collect")
    if not 1 <= len(args) <= 2:
        print(__doc__.split("\n\n")[1], file=sys.stderr)
        return 2
    dest = args[0]
    vrx = args[1] if len(args) > 1 else os.path.join(HERE, "build", "vrx")
    manifest = read_tsv(os.path.join(CORPUS, "manifest.tsv"))
    rows = read_tsv(os.path.join(CORPUS, "expected.tsv"))
    kinds = {(r["repository"], r["path"]): r["kind"] for r in manifest}
    def present_rows():
        return [r for r in rows
                if os.path.isfile(os.path.join(dest, r["repository"].replace("/", "+"), r["path"]))]
    present = present_rows()
    if not present and collect:
        subprocess.run([os.path.join(HERE, "scripts", "corpus.sh"), dest], capture_output=True)
        present = present_rows()
    if not present:
        print(f"corpus-expected: no corpus in {dest} (scripts/corpus.sh DEST writes it)", file=sys.stderr)
        return 77
    results = []
    with tempfile.TemporaryDirectory() as scratch:
        for r in present:
            ok, cause = run_call(vrx, dest, manifest, r, scratch)
            results.append((r, ok, cause))
    with open(os.path.join(dest, "expected.tsv"), "w", encoding="utf-8") as f:
        f.write("repository\tpath\tcode\texpected\tright\tcause\n")
        for r, ok, cause in results:
            f.write("\t".join([r["repository"], r["path"], r["code"], r["expected"],
                               "yes" if ok else "no", cause.replace("\t", " ")]) + "\n")
    calls = collections.defaultdict(lambda: [0, 0])
    methods = collections.defaultdict(dict)
    for r, ok, _ in results:
        kind = kinds.get((r["repository"], r["path"]), "?")
        calls[kind][0] += ok
        calls[kind][1] += 1
        key = (r["repository"], r["path"])
        methods[kind][key] = methods[kind].get(key, True) and ok
    print(f"{'kind':<10}{'methods':>8}{'right':>7}{'share':>8}{'calls':>8}{'right':>7}{'share':>8}")
    low = False
    for kind in sorted(calls):
        m = methods[kind]
        good = sum(m.values())
        share = 100.0 * good / len(m)
        low = low or share < minimum
        print(f"{kind:<10}{len(m):>8}{good:>7}{share:>7.1f}%{calls[kind][1]:>8}{calls[kind][0]:>7}"
              f"{100.0 * calls[kind][0] / calls[kind][1]:>7.1f}%")
    missing = len(rows) - len(present)
    if missing:
        print(f"({missing} calls skipped: their file is not in {dest})")
    failures = [(r, cause) for r, ok, cause in results if not ok]
    if failures:
        print("\nfailures:")
        for r, cause in failures:
            print(f"  {r['repository']} {os.path.basename(r['path'])}: {r['code'][:60]}\n      {cause[:200]}")
    return 1 if low else 0


if __name__ == "__main__":
    sys.exit(main())
