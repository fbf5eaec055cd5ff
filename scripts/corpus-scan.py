#!/usr/bin/env python3
"""Scans the fetched mirrors for 4D project methods and class files and classifies each:
kind (classic, modern, class) and whether it is self-contained (only text, numbers, dates,
BLOBs, arrays, objects and collections; no tables, forms, UI, documents, process or
interprocess variables, plug-ins), following calls into the same project. Prints JSON rows."""
import json, os, re, subprocess, sys, collections

MIRRORS = os.environ.get("MIRRORS", "/work/.mirror")

ALLOWED = set(map(int, """
16 12 15 233 234 232 231 13 14 90 91 10 11 1756 1019 1554 1141 1012 1011 1537
99 20 18 17 19 9 21 8 22 98 100 94 95 539 623
33 178 102 114 23 24 25 393 179 180 1445 459 458
214 215 34
219 220 221 222 223 224 1221 1222 1223 280 911 227 228 274 230 1333 229 718 226 907 1563 1562 1 2 3 4
605 606 554 555 548 550 552 549 551 553 558 560 559 534 535 536 532 533 895 896 1147 1066 1533 1534
1471 1472 1526 1527 1224 1225 1226 1227 1228 1229 1230 1231 1232 1233 1297 1718 1719 1720 1730 1731 1759
1218 1217 1219 1456 1478 1509 1517 1470 1705 1706 1710 1597 1601 1790
282 283 284 285 293 301 305 306 307 604 1216 1488 1683
295 82 294 315 304 394 259 684 955 1129 1132 1130 1131 155 704 1015 1799 1805 89 63 1007 538
1572 1573 322 323 143 144 652 372 157 1709 156 311
""".split()))

KEYWORDS = """If Else End if Case of End case For End for While End while Repeat Until For each End for each
Begin End Use End use var property Function Class constructor Class extends return break continue
get set shared singleton local exposed server session alias Try Catch End try
Text Integer Real Boolean Date Time Object Collection Variant Pointer Blob Picture Longint
and or not each of extends constructor OK DECLARE""".split()

TOKEN = re.compile(r"([A-Za-z_\u00c0-\uffff][\w \u00c0-\uffff]*?):C(\d+)")
CONST = re.compile(r"([A-Za-z_0-9\u00c0-\uffff][\w \-\u00c0-\uffff]*?):K(\d+):(\d+)")

def git(gitdir, *args, input=None):
    return subprocess.run(["git", "--git-dir", gitdir, *args], input=input,
                          capture_output=True, check=True).stdout

def strip_code(text):
    out = []
    for line in text.split("\n"):
        if line.startswith("//%attributes"):
            continue
        line = re.sub(r'"(?:[^"\\]|\\.)*"', '""', line)
        line = re.sub(r"//.*", "", line)
        out.append(line)
    code = "\n".join(out)
    code = re.sub(r"/\*.*?\*/", "", code, flags=re.S)
    return code

def analyse(text, methods, classes):
    code = strip_code(text)
    cmds = {}
    for m in TOKEN.finditer(code):
        name = m.group(1).strip()
        if name.startswith("return "): name = name[7:]
        cmds.setdefault(int(m.group(2)), name)
    consts = {}
    for m in CONST.finditer(code):
        consts[(int(m.group(2)), int(m.group(3)))] = m.group(1).strip()
    modern = bool(re.search(r"(?m)^\s*(var\s|#DECLARE|Function\s|property\s|Class\s)|For each|\breturn\b|"
                            r"cs:C1710|This:C1470|New object:C1471|New collection:C1472|"
                            r"\$\w+\.\w|\]\.\w|\)\.\w|:=\s*[\[{]|\bUse\b|Formula:C1597|OB Get:C1224|OB SET:C1220|C_OBJECT:C1216|C_COLLECTION:C1488|JSON Parse:C1218|JSON Stringify:C1217", code))
    reasons = []
    bad = sorted(n for n in cmds if n not in ALLOWED)
    if bad: reasons.append("cmd:" + ",".join(cmds[n] for n in bad[:3]))
    if re.search(r"\[[A-Za-z_][^\]\n]*:\d+\]", code): reasons.append("table")
    if "<>" in code.replace("#","") and re.search(r"<>\w", code) or "\u25ca" in code: reasons.append("interprocess")
    if re.search(r":P\d+:\d+", code): reasons.append("plugin")
    m4d = re.findall(r"4D:C1709\.(\w+)", code)
    if any(x not in ("Function", "Blob") for x in m4d): reasons.append("4D." + m4d[0])
    # leftover identifiers: process variables, plug-in or untokenized commands
    rest = TOKEN.sub(" ", CONST.sub(" ", code))
    rest = re.sub(r"\$\{?\w+\}?", " ", rest)
    rest = re.sub(r"\.\s*\w+", " ", rest)
    rest = re.sub(r"!\d+[-/]\d+[-/]\d+!|\?\d+:\d+:\d+\?", " ", rest)
    rest = re.sub(r"(?m)^\s*Function\s+(get\s+|set\s+)?\w+", " ", rest)
    rest = re.sub(r"(?m)^\s*property\s+[^:\n]*", " ", rest)
    rest = re.sub(r"\b(0x[0-9A-Fa-f]+|\d+(\.\d+)?(e[-+]?\d+)?)\b", " ", rest)
    callees = set()
    words = list(re.finditer(r"[A-Za-z_0-9\u00c0-\uffff][\w\u00c0-\uffff]*", rest))
    spans = []
    i = 0
    while i < len(words):
        hit = None
        for n in range(min(5, len(words) - i), 0, -1):
            seg = rest[words[i].start():words[i + n - 1].end()]
            if re.fullmatch(r"[\w\u00c0-\uffff]+( [\w\u00c0-\uffff]+)*", seg) and (seg in methods or seg in classes):
                hit = (n, seg); break
        if hit:
            n, seg = hit
            callees.add(seg if seg in methods else "class:" + seg)
            spans.append((words[i].start(), words[i + n - 1].end()))
            i += n
        else:
            i += 1
    for a, b in reversed(spans):
        rest = rest[:a] + " " + rest[b:]
    # a method named in a string is called by name (collection functions, EXECUTE METHOD)
    for lit in re.findall(r'"((?:[^"\\]|\\.)*)"', text):
        if lit in methods: callees.add(lit)
    for name in re.findall(r"cs(?::C1710)?\.(\w+)", code):
        if name in classes: callees.add("class:" + name)
    for kw in sorted(KEYWORDS, key=len, reverse=True):
        rest = re.sub(r"(?<![\w$])" + re.escape(kw) + r"(?!\w)", " ", rest)
    left = sorted(set(re.findall(r"[A-Za-z_\u00c0-\uffff][\w\u00c0-\uffff]*", rest)))
    if left: reasons.append("ident:" + ",".join(left[:3]))
    return dict(cmds=cmds, consts=consts, modern=modern, reasons=reasons, callees=sorted(callees),
                tokenized=bool(cmds))

def main():
    rows = []
    for d in sorted(os.listdir(MIRRORS)):
        gitdir = os.path.join(MIRRORS, d, "repo")
        if not os.path.isdir(gitdir): continue
        repo = d.replace("+", "/", 1)
        try:
            commit = git(gitdir, "rev-parse", "HEAD").decode().strip()
            files = git(gitdir, "ls-tree", "-r", "--name-only", "HEAD").decode().split("\n")
        except subprocess.CalledProcessError:
            continue
        files = [f for f in files if re.search(r"(^|/)Project/Sources/(Methods|Classes)/[^/]+\.4dm$", f)]
        # group by project root
        projects = collections.defaultdict(list)
        for f in files:
            projects[f.split("Project/Sources/")[0]].append(f)
        for root, fl in projects.items():
            methods = {os.path.basename(f)[:-4] for f in fl if "/Methods/" in f}
            classes = {os.path.basename(f)[:-4] for f in fl if "/Classes/" in f}
            texts = {}
            batch = "".join(f"{commit}:{f}\n" for f in fl).encode()
            out = git(gitdir, "cat-file", "--batch", input=batch)
            pos = 0
            for f in fl:
                nl = out.index(b"\n", pos)
                hdr = out[pos:nl].split()
                if len(hdr) < 3 or hdr[1] != b"blob":
                    pos = nl + 1; continue
                n = int(hdr[2])
                texts[f] = out[nl + 1:nl + 1 + n].decode("utf-8", "replace")
                pos = nl + 1 + n + 1
            fl = [f for f in fl if f in texts]
            info = {f: analyse(t, methods, classes) for f, t in texts.items()}
            byname = {}
            for f in info:
                n = os.path.basename(f)[:-4]
                byname[("class:" + n) if "/Classes/" in f else n] = f
            # transitive self-containment
            ok = {f: not i["reasons"] for f, i in info.items()}
            changed = True
            while changed:
                changed = False
                for f, i in info.items():
                    if ok[f] and any(not ok.get(byname.get(c), False) for c in i["callees"]):
                        ok[f] = False; changed = True
            for f, i in info.items():
                kind = "class" if "/Classes/" in f else ("modern" if i["modern"] else "classic")
                rows.append(dict(repo=repo, path=f, commit=commit, kind=kind,
                                 self_contained="yes" if ok[f] else "no",
                                 tokenized=i["tokenized"], reasons=i["reasons"],
                                 callees=[byname[c] for c in i["callees"] if c in byname],
                                 cmds=i["cmds"], consts={f"{k[0]}:{k[1]}": v for k, v in i["consts"].items()},
                                 size=len(texts[f])))
    json.dump(rows, sys.stdout)

main()
