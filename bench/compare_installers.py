#!/usr/bin/env python3
"""Our installer beside an NSIS installer of the same product files.

    compare_installers.py ROOT RUNS

Run by tools/bench.sh inside a Wine session of tools/wine/session.sh (its environment is inherited).
Measures, ours to theirs: the installer's own overhead, the whole installer's size, the time to
unpack the files under Wine (RUNS runs each: median and spread), and what each does when a byte of
its archive is changed or its file is cut short. Prints a table and writes it, with a plot of the
unpack times when gnuplot is there, to out/bench/.
"""
import os
import shutil
import statistics
import subprocess
import sys
from pathlib import Path

ROOT = Path(sys.argv[1])
RUNS = int(sys.argv[2])
WORK = ROOT / "build" / "bench" / "installers"
OUT = ROOT / "out" / "bench"
DRIVER = ROOT / "build" / "win64" / "tools" / "wizard-driver.exe"
WINE_EXEC = ROOT / "tools" / "wine" / "wine-exec"
OURS_FOLDER = "C:\\bench\\ours"
THEIRS_FOLDER = "C:\\bench\\nsis"


def wine_path(path):
    return "Z:" + str(path).replace("/", "\\")


def driver(*args, installer=None):
    env = dict(os.environ, SAMPLE_PROGRAM_QUIET="1")
    if installer is not None:
        env["VELTMOOR_INSTALLER"] = wine_path(installer)
    done = subprocess.run([str(WINE_EXEC), str(DRIVER), *args], env=env, capture_output=True, text=True,
                          errors="replace", timeout=600)
    fields = {}
    lines = []
    for line in done.stdout.splitlines():
        key, _, value = line.partition(" ")
        lines.append((key, value))
        fields.setdefault(key, value)
    if done.returncode != 0:
        raise SystemExit(f"wizard-driver {args[0]} failed:\n{done.stdout}{done.stderr}")
    return fields, lines


def makensis(out, *defines):
    subprocess.run(["makensis", "-V1", f"-DOUTFILE={out}", *[f"-D{d}" for d in defines],
                    str(ROOT / "bench" / "nsis" / "veltmoor.nsi")], check=True)
    return out


def spread(values):
    return f"{statistics.median(values):.0f} ms ({min(values):.0f}–{max(values):.0f})"


def sizes(rows):
    ours = ROOT / "dist" / "VeltmoorSetup.exe"
    payload = ROOT / "build" / "win32" / "product" / "payload.zip"
    licence = ROOT / "build" / "win32" / "resources" / "licence.txt"
    art = ROOT / "build" / "win32" / "resources" / "art"
    # A bitmap resource is its file without the 14-byte file header.
    bitmaps = sum((art / name).stat().st_size - 14 for name in ("banner.bmp", "folder.bmp", "folder_selected.bmp"))
    empty = makensis(WORK / "nsis-empty-x86.exe", "EMPTY")
    full = makensis(WORK / "nsis-x86.exe", f"PRODUCT_DIR={ROOT / 'build' / 'win32' / 'product' / 'files'}")
    overhead = ours.stat().st_size - payload.stat().st_size - licence.stat().st_size - bitmaps
    rows.append(("Installer's own overhead (PE32; ours: exe − payload − licence − bitmaps; NSIS: empty payload)",
                 f"{overhead:,} B", f"{empty.stat().st_size:,} B", overhead / empty.stat().st_size))
    rows.append(("Whole installer, same files (PE32)", f"{ours.stat().st_size:,} B", f"{full.stat().st_size:,} B",
                 ours.stat().st_size / full.stat().st_size))


def unpack_times(rows):
    theirs_exe = makensis(WORK / "nsis-x64.exe", "AMD64", f"PRODUCT_DIR={ROOT / 'build' / 'win64' / 'product' / 'files'}")
    _, lines = driver("unpack-time", str(RUNS), OURS_FOLDER, installer=ROOT / "dist" / "VeltmoorSetup-x64.exe")
    ours = [float(value) for key, value in lines if key == "unpack-ms"]
    theirs = []
    files = len(list((ROOT / "build" / "win64" / "product" / "files").iterdir()))
    for _ in range(RUNS):
        fields, _ = driver("run-program", "120000", THEIRS_FOLDER, f"{wine_path(theirs_exe)} /S /D={THEIRS_FOLDER}")
        if fields.get("exit") != "0x0" or int(fields.get("files", 0)) != files:
            raise SystemExit(f"the NSIS installer did not install the {files} files: {fields}")
        theirs.append(float(fields["ms"]))
    rows.append((f"Unpack time under Wine, {RUNS} runs, median (min–max); ours: Next on the summary page to the "
                 "last file unpacked; NSIS: /S install, start to exit", spread(ours), spread(theirs),
                 statistics.median(ours) / statistics.median(theirs)))
    return ours, theirs, theirs_exe


def damaged_copies(original, start, length, name):
    """Copies with one byte changed at sampled places of [start, start+length), and cut short."""
    data = original.read_bytes()
    copies = []
    for k in range(9):
        position = start + min(length - 1, k * length // 8)
        changed = bytearray(data)
        changed[position] ^= 0x01
        path = WORK / f"{name}-byte-{k}.exe"
        path.write_bytes(changed)
        copies.append((f"byte {position - start:,} of {length:,} changed", path))
    for fraction in (0.25, 0.5, 0.9, 0.99, 0.999):
        path = WORK / f"{name}-cut-{fraction}.exe"
        path.write_bytes(data[:int(len(data) * fraction)])
        copies.append((f"file cut at {fraction:.1%}", path))
    path = WORK / f"{name}-cut-last.exe"
    path.write_bytes(data[:-1])
    copies.append(("file cut by its last byte", path))
    return copies


def ours_outcome(path):
    fields, _ = driver("damaged-run", wine_path(path), OURS_FOLDER)
    if fields.get("started") == "no":
        return "not started by the system, nothing written"
    if fields.get("wizard") == "no":
        return f"no wizard (exit {fields.get('exit')}), nothing written"
    crash = ", CRASHED" if fields.get("exit", "").upper().startswith("0XC") else ""
    if fields.get("completed") == "yes":
        return "installed as usual: the cut bytes were padding" + crash
    message = fields.get("message", "(none)")
    told = "damaged-archive message" if "damaged or tampered" in message else f"message: {message[:60]}"
    return f"{told}, {fields.get('product-files')} product files written" + crash


def theirs_outcome(path):
    fields, lines = driver("run-program", "60000", THEIRS_FOLDER, f"{wine_path(path)} /S /D={THEIRS_FOLDER}")
    if fields.get("started") == "no":
        return "not started by the system, nothing written"
    dialogs = [value for key, value in lines if key == "dialog"]
    told = f"dialog: {dialogs[0][:60]}" if dialogs else "no message"
    crash = fields.get("exit", "").upper().startswith("0XC")
    return f"{told}, exit {fields.get('exit')}, {fields.get('files')} files written" + (", CRASHED" if crash else "")


def robustness(theirs_exe):
    ours_exe = ROOT / "dist" / "VeltmoorSetup-x64.exe"
    payload = (ROOT / "build" / "win64" / "product" / "payload.zip").read_bytes()
    start = ours_exe.read_bytes().find(payload)
    if start < 0:
        raise SystemExit("the payload was not found in the installer")
    data = theirs_exe.read_bytes()
    header = data.find(b"\xef\xbe\xad\xdeNullsoftInst") - 4  # flags, signature, "NullsoftInst", ...
    table = []
    ours_copies = damaged_copies(ours_exe, start, len(payload), "ours")
    theirs_copies = damaged_copies(theirs_exe, header, len(data) - header, "nsis")
    for (what, ours_copy), (_, theirs_copy) in zip(ours_copies, theirs_copies):
        table.append((what, ours_outcome(ours_copy), theirs_outcome(theirs_copy)))
    return table


def plot(ours, theirs):
    if shutil.which("gnuplot") is None:
        return None
    data = WORK / "unpack.dat"
    data.write_text("".join(f"{i + 1} {o:.1f} {t:.1f}\n" for i, (o, t) in enumerate(zip(ours, theirs))))
    picture = OUT / "unpack-times.png"
    script = (f"set terminal png size 720,400\nset output '{picture}'\n"
              "set title 'Unpacking the same files under Wine (lower is better)'\n"
              "set xlabel 'run'\nset ylabel 'milliseconds'\nset yrange [0:*]\nset key top left\n"
              "set style data linespoints\n"
              f"plot '{data}' using 1:2 title 'ours: Next to last file unpacked' lw 2, "
              f"'{data}' using 1:3 title 'NSIS /S: start to exit' lw 2\n")
    subprocess.run(["gnuplot"], input=script, text=True, check=True)
    return picture


def main():
    WORK.mkdir(parents=True, exist_ok=True)
    OUT.mkdir(parents=True, exist_ok=True)
    rows = []
    sizes(rows)
    ours, theirs, theirs_exe = unpack_times(rows)
    damage = robustness(theirs_exe)

    report = ["# Ours against NSIS (same product files, zlib)", "",
              "| Figure | Ours | NSIS | Ratio ours/NSIS |", "|---|---|---|---|"]
    report += [f"| {what} | {o} | {t} | {ratio:.2f} |" for what, o, t, ratio in rows]
    report += ["", "## Damage (PE32+ under Wine)", "", "| Damage | Ours | NSIS |", "|---|---|---|"]
    report += [f"| {what} | {o} | {t} |" for what, o, t in damage]
    report += ["", f"Unpack runs, ms: ours {', '.join(f'{v:.0f}' for v in ours)}; "
               f"NSIS {', '.join(f'{v:.0f}' for v in theirs)}"]
    picture = plot(ours, theirs)
    if picture:
        report += ["", f"Plot: {picture.relative_to(ROOT)}"]
    text = "\n".join(report) + "\n"
    (OUT / "installers.md").write_text(text)
    print(text)


if __name__ == "__main__":
    main()
