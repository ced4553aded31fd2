"""Exceptions and warnings, and the one place that reads an engine report."""

import os
import sys
import warnings

_PACKAGE = os.path.dirname(os.path.abspath(__file__))

# How a call ended (the engine's Outcome).
COMPLETED, REFUSED, STOPPED, FAILED = 0, 1, 2, 3

# Message codes with a warning class of their own (and a count in the report).
_MERGED_CODE = 400
_SINGULAR_CODE = 600
_NON_FINITE_CODE = 601


class EngineError(RuntimeError):
    """The engine refused the input or could not finish.

    ``str(error)`` is the engine's own text; ``code`` is the message code of the
    first message (see ``messages`` for every ``(code, text)`` pair) and
    ``outcome`` is ``"refused"`` or ``"failed"``.
    """

    def __init__(self, messages, outcome):
        self.messages = list(messages)
        self.code = self.messages[0][0] if self.messages else 0
        self.outcome = outcome
        text = "\n".join(text.strip() for _, text in self.messages)
        super().__init__(text or f"the engine {outcome} the call")


class Cancelled(RuntimeError):
    """The call was cancelled through its ``cancel`` event; nothing is returned."""


class EngineWarning(UserWarning):
    """A message of the engine that did not stop the call.

    ``code`` is the engine's message code, ``count`` the number of points the
    message is about (0 when it names none).
    """

    def __init__(self, text, code=0, count=0):
        super().__init__(text)
        self.code = code
        self.count = count


class MergedPointsWarning(EngineWarning):
    """Data points at the same place were merged into one (their mean)."""


class SingularSystemWarning(EngineWarning):
    """Estimates whose system had no unique solution (NaN, status 1)."""


class NonFiniteWarning(EngineWarning):
    """Estimates that are not finite numbers (status 2)."""


def _caller_stacklevel():
    """The stack level of the first frame outside the package (for warnings)."""
    frame, level = sys._getframe(1), 1
    while frame is not None and os.path.dirname(os.path.abspath(frame.f_code.co_filename)) \
            == _PACKAGE:
        frame, level = frame.f_back, level + 1
    return level


def check_report(report, cancelled=False):
    """Raises for a call that did not complete and warns for its messages."""
    outcome = report["outcome"]
    messages = report["messages"]
    if outcome == STOPPED:
        if cancelled:
            raise Cancelled("the call was cancelled")
        raise EngineError(messages, "stopped")
    if outcome in (REFUSED, FAILED):
        raise EngineError(messages, "refused" if outcome == REFUSED else "failed")
    stacklevel = _caller_stacklevel()
    counted = {
        _MERGED_CODE: (MergedPointsWarning, report["merged"]),
        _SINGULAR_CODE: (SingularSystemWarning, report["singular"]),
        _NON_FINITE_CODE: (NonFiniteWarning, report["non_finite"]),
    }
    for code, text in messages:
        if code not in counted:
            warnings.warn(EngineWarning(text.strip(), code), stacklevel=stacklevel)
    if report["merged"]:
        n = report["merged"]
        warnings.warn(
            MergedPointsWarning(
                f"{n} data point{'s' if n != 1 else ''} merged into an earlier one at the "
                "same place (the mean of their values is used)", _MERGED_CODE, n),
            stacklevel=stacklevel)
    for code in (_SINGULAR_CODE, _NON_FINITE_CODE):
        category, n = counted[code]
        if n:
            what = "had no unique solution" if code == _SINGULAR_CODE else "are not finite"
            texts = [text.strip() for c, text in messages if c == code]
            warnings.warn(category(f"{n} estimate{'s' if n != 1 else ''} {what} (NaN; the "
                                   f"engine: {texts[0] if texts else '-'})", code, n),
                          stacklevel=stacklevel)
