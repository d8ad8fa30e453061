"""What the Python tests of "engine-probe" share: a check that prints its line and is remembered when it
fails, the path form the probe takes (the Wine drive form when it runs under an emulator), and the exit
that reports the failed checks."""
import os
import sys


class ProbeChecks:
    def __init__(self, emulator):
        self.emulator = emulator
        self.failures = []

    def check(self, condition, message):
        print(("ok    " if condition else "FAIL  ") + message)
        if not condition:
            self.failures.append(message)

    def probe_path(self, path):
        """The Windows probe takes the Wine drive form of a host path."""
        return "Z:" + os.path.abspath(path).replace("/", "\\") if self.emulator else path

    def finish(self):
        if self.failures:
            sys.exit("%d check(s) failed" % len(self.failures))
