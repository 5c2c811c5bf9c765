"""How an end-to-end script runs a case and reports it: a failed check raises Failure, the runner
prints `ok    CASE` or `FAIL  CASE: why` and exits non-zero, figures are printed as they are
measured, and a screen open at a failure leaves its picture in the --shots folder."""

import argparse
import os
import sys
import time


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def log(text):
    print(text, flush=True)


def wait_for(condition, seconds, message, interval=0.1):
    """Polls condition until it gives a true value, which it returns; fails after seconds."""
    deadline = time.monotonic() + seconds
    while not (value := condition()):
        check(time.monotonic() < deadline, message)
        time.sleep(interval)
    return value


failure_shot = shots = None


def shot_path(name):
    """Where a screenshot of the given name is kept: the --shots folder."""
    return os.path.join(shots, name + ".png")


class Screen:
    """Something that shows a picture, used in a with statement: closed at the end, and when a
    check fails inside, what it shows is kept as the failure shot (failure_screen(path))."""

    def __enter__(self):
        try:
            self.open()
            return self
        except BaseException:
            # __exit__ does not run when __enter__ fails: close what did open.
            self.__exit__(*sys.exc_info())
            raise

    def __exit__(self, kind, value, traceback):
        if kind is not None and issubclass(kind, Exception) and failure_shot:
            try:
                self.failure_screen(failure_shot)
                log(f"(screen at the failure: {failure_shot})")
            except Exception as error:  # the failure itself matters more
                log(f"no failure screenshot: {error}")
        self.close()


def main(cases, *paths, setup=None, **options):
    """Runs the case the command line names (or the only one) with the given path options, each
    required and made absolute (--shots is made, and holds the failure shot), and the given
    optional ones (name=default), after setup(args) when given."""
    global failure_shot, shots
    parser = argparse.ArgumentParser()
    if len(cases) > 1:
        parser.add_argument("case", choices=sorted(cases))
    for path in paths:
        parser.add_argument(path, required=True, type=os.path.abspath)
    for name, default in options.items():
        parser.add_argument("--" + name.replace("_", "-"), default=default,
                            type=type(default) if default is not None else os.path.abspath)
    args = parser.parse_args()
    case = getattr(args, "case", next(iter(cases)))
    if shots := getattr(args, "shots", None):
        os.makedirs(shots, exist_ok=True)
        failure_shot = shot_path(f"failed-{case}")
    try:
        if setup:
            setup(args)
        cases[case](args)
    except Failure as failure:
        log(f"FAIL  {case}: {failure}")
        sys.exit(1)
    log(f"ok    {case}")
