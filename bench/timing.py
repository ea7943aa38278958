"""Shared by the Python benchmarks: time an operation, summarise against a floor."""

import statistics
import time


def measure(operation, repetitions):
    """Durations of `repetitions` calls, in milliseconds."""
    durations = []
    for _ in range(repetitions):
        start = time.perf_counter_ns()
        operation()
        durations.append((time.perf_counter_ns() - start) / 1e6)
    return durations


def summarise(label, durations, floor_ms):
    values = sorted(durations)
    median = statistics.median(values)
    p99 = values[int(0.99 * (len(values) - 1))]
    return (f"{label:>14}: median {median:8.3f} ms, p99 {p99:8.3f} ms, min {values[0]:8.3f} ms "
            f"(floor {floor_ms:.0f} ms, median over floor {median - floor_ms:+.3f} ms, {len(values)} runs)")
