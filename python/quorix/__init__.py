"""Normalised fields from the decoded text of identity documents.

A barcode or magnetic-stripe reader hands over text; ``Parser.parse`` offers it to every decoder of the library
and returns a ``Result`` with the 40 fields of the best one::

    with quorix.Parser() as parser:
        result = parser.parse(scanned_bytes)
        print(result.last_name, result.date("expiration_date"))
"""

from __future__ import annotations

import datetime as _datetime
import re as _re

from . import _quorix

__all__ = ["EXTRA_NAMES", "FIELD_NAMES", "ParseError", "Parser", "REPAIR_NAMES", "Result", "parse_many", "status_message"]

LIBRARY_VERSION: str = _quorix.version()
__version__ = LIBRARY_VERSION[2:]  # "v.1.3.0" -> "1.3.0"

#: The fields' names as the README and the command-line tool's JSON write them, in their order.
FIELD_NAMES: tuple[str, ...] = _quorix.field_names()
#: The names of the extra values a parse may read beyond the fields, as the tool's JSON writes them.
EXTRA_NAMES: tuple[str, ...] = _quorix.extra_names()
#: The names of the repairs a parse may rely on; bit i of the library's repair set is REPAIR_NAMES[i].
REPAIR_NAMES: tuple[str, ...] = _quorix.repair_names()


def _snake_case(name: str) -> str:
    # "HAZMATExpDate" -> "hazmat_exp_date", "weightKG" -> "weight_kg", "address1" stays.
    name = _re.sub(r"([A-Z]+)([A-Z][a-z])", r"\1_\2", name)
    return _re.sub(r"([a-z0-9])([A-Z])", r"\1_\2", name).lower()


_ATTRIBUTES: tuple[str, ...] = tuple(_snake_case(name) for name in FIELD_NAMES)
_INDEX = {**{name: i for i, name in enumerate(FIELD_NAMES)}, **{name: i for i, name in enumerate(_ATTRIBUTES)}}
_DATE_FIELDS = frozenset(
    _INDEX[name] for name in ("expirationDate", "HAZMATExpDate", "birthdate", "cardRevisionDate", "issueDate")
)
_NO_REPAIRS: frozenset[str] = frozenset()


def status_message(status: int) -> str:
    """What a parse status means, for people."""
    return _quorix.status_message(status)


class ParseError(ValueError):
    """A text that the parser did not turn into a result; ``status`` is the library's negative status."""

    def __init__(self, status: int) -> None:
        self.status = status
        self.message = status_message(status)
        super().__init__(f"{self.message} (status {status})")


def _repair_set(bits: int) -> frozenset[str]:
    if bits == 0:
        return _NO_REPAIRS
    return frozenset(name for i, name in enumerate(REPAIR_NAMES) if bits & (1 << i))


class Result:
    """One parse's outcome: ``status`` (0 when a decoder accepted the text), the decoder, and one attribute per
    field (``first_name``, ..., ``vehicle_class_code_description``), None when the document does not yield it. The
    three indicators are bool or None; every other field is a str."""

    __slots__ = ("status", "decoder_group", "decoder_id", "standard", "repairs", "_fields", "_extras", "_input", "_now")

    def __init__(self, native: tuple, data: bytes = b"", now: tuple | None = None) -> None:
        self.status, self.decoder_group, self.decoder_id, self.standard, bits, self._fields, self._extras = native
        self.repairs = _repair_set(bits)
        self._input = data  # kept for the checks, which parse it again with the same clock
        self._now = now

    @property
    def extras(self) -> dict[str, str]:
        """The values the document carries beyond the fields (``"under21Until"``, ``"aliasFamilyName"``, ...),
        under the tool's names."""
        return {name: value for name, value in zip(EXTRA_NAMES, self._extras) if value is not None}

    def to_dict(self) -> dict[str, str | bool]:
        """The fields the document yields under their README names, in their order, as the tool's JSON has them."""
        return {name: value for name, value in zip(FIELD_NAMES, self._fields) if value is not None}

    def date(self, field: str) -> _datetime.date | None:
        """A date field (``"expiration_date"`` or ``"expirationDate"``, ...) as a date; None when the document does
        not yield it or its text is not a day of the calendar."""
        index = _INDEX.get(field)
        if index not in _DATE_FIELDS:
            raise ValueError(f"{field!r} is not a date field")
        text = self._fields[index]
        if text is None:
            return None
        month, day, year = text.split("/")
        try:
            return _datetime.date(int(year), int(month), int(day))
        except ValueError:
            return None

    def _checks(self, on: _datetime.date | None, years: int = 0) -> tuple[bool, int | None, bool]:
        if self.status != 0:
            raise ParseError(self.status)
        on = _datetime.date.today() if on is None else on
        answers = _quorix.answer_checks(self._input, self._now, (on.year, on.month, on.day, 0, 0, 0), years)
        if isinstance(answers, int):
            raise ParseError(answers)
        return answers

    def is_expired(self, on: _datetime.date | None = None) -> bool:
        """Whether the card has expired on that day (today when None); it is valid through its expiry day. False
        when the document has no readable expiry date."""
        return self._checks(on)[0]

    def age_on(self, on: _datetime.date | None = None) -> int | None:
        """The holder's full years on that day (today when None); None without a readable birth date or for a day
        before it."""
        return self._checks(on)[1]

    def is_at_least(self, years: int, on: _datetime.date | None = None) -> bool:
        """Whether the holder is at least years old on that day (today when None); for 18, 19 and 21 the card's
        own "under ... until" date answers where it prints one. False when not known."""
        return self._checks(on, years)[2]

    def __repr__(self) -> str:
        shown = ", ".join(f"{_ATTRIBUTES[i]}={value!r}" for i, value in enumerate(self._fields) if value is not None)
        return f"Result(status={self.status}, decoder_id={self.decoder_id}{', ' if shown else ''}{shown})"


def _field_property(index: int, name: str) -> property:
    return property(lambda self: self._fields[index], doc=f"The field {name!r} of the README, or None.")


for _i, _name in enumerate(_ATTRIBUTES):
    setattr(Result, _name, _field_property(_i, FIELD_NAMES[_i]))
del _i, _name


def _as_bytes(data: bytes | str) -> bytes:
    # A str carries the document's bytes as the characters U+0000 to U+00FF, as the tool's JSON Lines do.
    if isinstance(data, bytes):
        return data
    if isinstance(data, str):
        return data.encode("latin-1")
    if isinstance(data, (bytearray, memoryview)):
        return bytes(data)
    raise TypeError(f"expected bytes or str, not {type(data).__name__}")


def _clock_tuple(clock) -> tuple[int, int, int, int, int, int] | None:
    if clock is None:
        return None
    now = clock() if callable(clock) else clock
    return (now.year, now.month, now.day, now.hour, now.minute, now.second)


class Parser:
    """A parser for one thread at a time (calls from several threads wait for each other; for parallel work use
    parse_many or one Parser per thread). ``clock`` fixes the date and time the parse runs at: a datetime, or a
    callable returning one at each parse; None uses the local clock."""

    def __init__(self, clock=None) -> None:
        self._native = _quorix.NativeParser()
        self._clock = clock

    def try_parse(self, data: bytes | str) -> Result:
        """Parses data; a text no decoder accepts gives a Result whose status is not 0 and whose fields are None."""
        data = _as_bytes(data)
        now = _clock_tuple(self._clock)
        return Result(self._native.parse(data, now), data, now)

    def parse(self, data: bytes | str) -> Result:
        """Parses data; raises ParseError when the status is not 0."""
        result = self.try_parse(data)
        if result.status != 0:
            raise ParseError(result.status)
        return result

    def close(self) -> None:
        """Frees the native parser; later parses raise ValueError. Closing twice is harmless."""
        self._native.close()

    def __enter__(self) -> Parser:
        return self

    def __exit__(self, *exc_info: object) -> None:
        self.close()


def parse_many(inputs, threads: int = 1, clock=None) -> list[Result]:
    """Parses every input (bytes or str) on up to ``threads`` threads, one native parser each, with the GIL
    released, and returns the results in input order; a rejected input gives a Result whose status is not 0, as
    try_parse does. ``clock`` is read once for the whole call."""
    texts = [_as_bytes(data) for data in inputs]
    now = _clock_tuple(clock)
    return [Result(native, data, now) for native, data in zip(_quorix.parse_many(texts, threads, now), texts)]
