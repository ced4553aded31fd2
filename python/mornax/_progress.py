"""The ``progress=`` argument: a callable, True for a tqdm bar, or None."""

import contextlib


@contextlib.contextmanager
def progress_callback(progress, description):
    """Yields the callable (done, total) the engine calls, or None.

    The engine calls it at most about ten times a second and always at the end.
    ``progress=True`` draws a tqdm bar (tqdm must be installed).
    """
    if progress is None or progress is False:
        yield None
        return
    if progress is True:
        try:
            from tqdm.auto import tqdm
        except ImportError as error:
            raise ImportError("progress=True needs the package tqdm") from error
        bar = tqdm(desc=description, unit="pt", leave=False)

        def update(done, total):
            if total > 0 and bar.total != total:
                bar.total = total
            bar.update(done - bar.n)

        try:
            yield update
        finally:
            bar.close()
        return
    if not callable(progress):
        raise TypeError("progress must be None, True or a callable (done, total)")
    yield progress
