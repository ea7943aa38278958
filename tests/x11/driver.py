"""A process of its own that uses the module as told on its standard input, one Python line at a time, so that
the tests can see that it lives, never hangs and prints nothing of its own on stderr while its display fails.

Run as a program it is the driven process; SIGPIPE there has its default action, which ends a process, as in most
programs that are not Python."""

import json
import os
import select
import signal
import subprocess
import sys

ANSWER_TIMEOUT_S = 30


class Driver:
    """Sends lines to a driven process: ask() answers with the repr of an expression's value, "ok" for a statement,
    or "ErrorType: message"."""

    def __init__(self, environment, prefix=()):
        """`prefix` is a command that runs the driven process (for example in a network namespace of its own)."""
        self.process = subprocess.Popen([*prefix, sys.executable, __file__], stdin=subprocess.PIPE,
                                        stdout=subprocess.PIPE, stderr=subprocess.PIPE, text=True, env=environment)

    def ask(self, line):
        self.process.stdin.write(line + "\n")
        self.process.stdin.flush()
        ready, _, _ = select.select([self.process.stdout], [], [], ANSWER_TIMEOUT_S)
        if not ready:
            self.process.kill()
            raise AssertionError(f"no answer to {line!r} within {ANSWER_TIMEOUT_S} s: the driven process hangs")
        answer = self.process.stdout.readline()
        if not answer:
            raise AssertionError(f"the driven process ended at {line!r} with {self.process.wait()}")
        return json.loads(answer)

    def finish(self):
        """Ends the process; it must exit normally, having printed nothing on stderr."""
        self.process.stdin.close()
        code = self.process.wait(timeout=ANSWER_TIMEOUT_S)
        errors = self.process.stderr.read()
        self.process.stdout.close()
        self.process.stderr.close()
        assert (code, errors) == (0, "")


def answer(line, names):
    try:
        try:
            code = compile(line, "<driver>", "eval")
        except SyntaxError:
            exec(line, names)
            return "ok"
        return repr(eval(code, names))
    except Exception as error:
        return f"{type(error).__name__}: {error}"


def main():
    signal.signal(signal.SIGPIPE, signal.SIG_DFL)
    import ondrel
    names = {"ondrel": ondrel, "signal": signal, "os": os}
    for line in sys.stdin:
        print(json.dumps(answer(line, names)), flush=True)


if __name__ == "__main__":
    main()
