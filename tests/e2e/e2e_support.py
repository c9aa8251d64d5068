"""What the end-to-end driver and its platform adapters share: failing, waiting, reporting."""

import time

# How long to wait for what normally takes milliseconds: a loaded machine can be that slow.
PATIENCE = 30.0


class Failure(Exception):
    pass


def check(condition, message):
    if not condition:
        raise Failure(message)


def step(text):
    print(f"-- {text}", flush=True)


def wait_for(what, probe, timeout=PATIENCE, interval=0.05):
    """Polls probe until it returns something true, and returns that."""
    deadline = time.monotonic() + timeout
    while True:
        value = probe()
        if value:
            return value
        if time.monotonic() > deadline:
            raise Failure(f"timed out waiting for {what}")
        time.sleep(interval)


STARTUP_CAPTION = "程序加载中..."
MESSAGE_TITLE = "Korvane"
