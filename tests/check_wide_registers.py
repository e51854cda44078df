#!/usr/bin/env python3
"""Fails when a function can leave the 256-bit registers dirty.

Usage: check_wide_registers.py [--expect-wide] OBJDUMP OBJECT...

While the upper halves of the ymm registers are dirty, every SSE instruction
without the VEX prefix on that thread pays the processor's state transition,
so code that uses them must execute vzeroupper before control leaves it.

Each object file is disassembled with the toolchain's objdump, and each
function is checked on its control-flow graph:
  - entry is clean (the calling convention's assumption);
  - an instruction naming a ymm or zmm register makes the state dirty (a
    read of one only happens after a write, so this is a safe superset of
    "writes");
  - vzeroupper and vzeroall make it clean;
  - the state flowing into an instruction is dirty when it is dirty on any
    path from the entry (conditional jumps follow both edges, direct jumps
    inside the function their target);
  - a return, a jump that leaves the function (to another symbol, through a
    relocation, or indirect) or a call reached in the dirty state is a
    fault. Calls into a sanitizer's error reports are exempt: they end the
    program.
Jumps into another function in the same section are told by their address
lying outside the function's range. A jump table inside a function appears
as an indirect jump and counts as leaving, and so does a jump into the
function's own cold part (another symbol): both on the safe side.

--expect-wide: also fail when no function writes a wide register, so that
a change in objdump's output cannot make the check pass by seeing nothing.
"""
import re
import subprocess
import sys

FUNCTION = re.compile(r"^([0-9a-f]+) <(.+)>:$")
SECTION = re.compile(r"^Disassembly of section (.+):$")
INSTRUCTION = re.compile(r"^\s+([0-9a-f]+):\t(.*)$")
RELOCATION = re.compile(r"\t[0-9a-f]+: (\S+)\t(.*?)(?=\t[0-9a-f]+: |$)")
WIDE = re.compile(r"%[yz]mm\d+")
PREFIXES = {"notrack", "bnd", "rep", "repz", "repnz", "repe", "repne", "ds", "cs", "lock", "data16", "addr32"}
CONDITIONAL = {"loop", "loope", "loopne", "loopz", "loopnz", "jcxz", "jecxz", "jrcxz"}
EXEMPT_CALLS = ("__asan_", "__ubsan_", "__tsan_", "__stack_chk_fail")


class Instruction:
    def __init__(self, address, text):
        relocations = RELOCATION.findall(text)
        text = RELOCATION.sub("", text).split("#")[0].strip()
        words = text.split()
        while words and words[0] in PREFIXES:
            words.pop(0)
        self.address = address
        self.text = text
        self.mnemonic = words[0] if words else ""
        self.operands = " ".join(words[1:])
        self.relocation = relocations[0][1] if relocations else None


def disassemble(objdump, path):
    """Yields (name, [Instruction]) for every function in the object."""
    output = subprocess.run([objdump, "-d", "-r", "-w", "-C", "--no-show-raw-insn", path],
                            check=True, capture_output=True, text=True).stdout
    name, body = None, []
    for line in output.splitlines():
        if SECTION.match(line) or FUNCTION.match(line):
            if name is not None:
                yield name, body
            match = FUNCTION.match(line)
            name, body = (match.group(2), []) if match else (None, [])
            continue
        match = INSTRUCTION.match(line)
        if match and name is not None:
            body.append(Instruction(int(match.group(1), 16), match.group(2)))
    if name is not None:
        yield name, body


def direct_target(instruction):
    match = re.match(r"([0-9a-f]+)\b", instruction.operands)
    return int(match.group(1), 16) if match and not instruction.operands.startswith("*") else None


def leaks(body):
    """The places where the dirty state leaves the function: a list of
    (address of the exit, its text, address of a wide write reaching it)."""
    if not any(WIDE.search(i.text) for i in body):
        return None
    index = {i.address: n for n, i in enumerate(body)}
    start, end = body[0].address, body[-1].address + 1

    def inside(target):
        return target is not None and start <= target < end and target in index

    # dirty_in[n]: the address of a wide write that reaches instruction n
    # with the state still dirty, or None.
    dirty_in = [None] * len(body)
    found = {}
    work = list(range(len(body)))
    while work:
        n = work.pop()
        i = body[n]
        state = dirty_in[n]
        if i.mnemonic in ("vzeroupper", "vzeroall"):
            state = None
        elif WIDE.search(i.text):
            state = i.address
        successors = []
        falls_through = True
        m = i.mnemonic
        if m.startswith("ret") or m in ("lret", "iret", "iretd", "iretq", "ud2", "hlt"):
            falls_through = False
            if state is not None and m.startswith("ret"):
                found[i.address] = (i.text, state)
        elif m.startswith("jmp"):
            falls_through = False
            target = direct_target(i)
            if i.relocation is None and inside(target):
                successors.append(index[target])
            elif state is not None:
                found[i.address] = (i.text, state)
        elif m.startswith("j") or m in CONDITIONAL:
            target = direct_target(i)
            if i.relocation is None and inside(target):
                successors.append(index[target])
            elif state is not None:
                found[i.address] = (i.text, state)
        elif m.startswith("call"):
            callee = i.relocation or i.operands
            if state is not None and not any(e in callee for e in EXEMPT_CALLS):
                found[i.address] = (i.text, state)
        if falls_through and n + 1 < len(body):
            successors.append(n + 1)
        if state is None:
            continue
        for s in successors:
            if dirty_in[s] is None:
                dirty_in[s] = state
                work.append(s)
    return [(address, text, write) for address, (text, write) in sorted(found.items())]


def main(argv):
    expect_wide = "--expect-wide" in argv
    argv = [a for a in argv if a != "--expect-wide"]
    if len(argv) < 2:
        print(__doc__.strip().splitlines()[2], file=sys.stderr)
        return 2
    objdump, objects = argv[0], argv[1:]
    wide_functions, faults = 0, 0
    for path in objects:
        for name, body in disassemble(objdump, path):
            result = leaks(body)
            if result is None:
                continue
            wide_functions += 1
            for address, text, write in result:
                faults += 1
                print(f"{path}: {name}\n  leaves at {address:#x} ({text}) with the wide registers dirty "
                      f"since {write:#x}, no vzeroupper on the way")
    print(f"{wide_functions} functions use wide registers in {len(objects)} object files; "
          f"{faults} exits without vzeroupper")
    if expect_wide and wide_functions == 0:
        print("no function uses a wide register: expected at least one", file=sys.stderr)
        return 1
    return 1 if faults else 0


if __name__ == "__main__":
    sys.exit(main(sys.argv[1:]))
