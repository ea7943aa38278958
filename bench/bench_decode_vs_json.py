"""decode_action next to CPython's json.loads, on the same action texts.

    python3 bench/bench_decode_vs_json.py

Builds bench_decode_action (Release, in build/bench), runs it on bench/action_texts.jsonl, then times json.loads on each of those
texts in this interpreter and prints both per text. For a text that is not
JSON, json.loads is timed up to its JSONDecodeError.
"""

import json
import pathlib
import subprocess
import sys
import timeit

ROOT = pathlib.Path(__file__).resolve().parent.parent
TEXTS = ROOT / "bench" / "action_texts.jsonl"
BUILD = ROOT / "build" / "bench"
BINARY = BUILD / "bench" / "bench_decode_action"


def build():
    subprocess.run(
        ["cmake", "-S", str(ROOT), "-B", str(BUILD), "-DCMAKE_BUILD_TYPE=Release",
         "-DONDREL_BUILD_BENCH=ON", "-DONDREL_BUILD_MODULE=OFF"],
        check=True, stdout=subprocess.DEVNULL)
    subprocess.run(["cmake", "--build", str(BUILD), "-j", "2", "--target", "bench_decode_action"],
                   check=True, stdout=subprocess.DEVNULL)


def decode_action_ns():
    """Nanoseconds per decode_action call, in the order of the texts file."""
    output = subprocess.run([str(BINARY), str(TEXTS)], check=True, capture_output=True, text=True).stdout
    lines = output.splitlines()[:-1]  # the last line is the mean
    return [(float(line.split()[0]), line.split()[2]) for line in lines]


def json_loads_ns(text):
    timer = timeit.Timer("try:\n    loads(text)\nexcept ValueError:\n    pass",
                         globals={"loads": json.loads, "text": text})
    calls, _ = timer.autorange()
    calls = max(calls, 1000)
    return min(timer.repeat(repeat=7, number=calls)) / calls * 1e9


def shown(text):
    text = text.replace("\n", "\\n")
    return text if len(text) <= 60 else text[:57] + "..."


def main():
    build()
    texts = [json.loads(line) for line in TEXTS.read_text().splitlines() if line]
    native = decode_action_ns()
    assert len(native) == len(texts), "the benchmark and this script read different texts"
    python = [json_loads_ns(text) for text in texts]

    print(f"{'decode_action':>14} {'json.loads':>11} {'ratio':>6}  outcome  text")
    for (ns, outcome), loads_ns, text in zip(native, python, texts):
        print(f"{ns:11.1f} ns {loads_ns:8.1f} ns {loads_ns / ns:5.1f}x  {outcome:<8} {shown(text)}")
    native_mean = sum(ns for ns, _ in native) / len(native)
    python_mean = sum(python) / len(python)
    print(f"{native_mean:11.1f} ns {python_mean:8.1f} ns {python_mean / native_mean:5.1f}x  "
          f"mean over {len(texts)} texts (Python {sys.version.split()[0]})")


if __name__ == "__main__":
    main()
