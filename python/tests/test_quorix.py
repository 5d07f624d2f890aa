"""The Python package against the command-line tool's JSON over the golden corpus, its type mapping, its errors
and its threads. QUORIX_GOLDEN names the corpus and QUORIX_PARSE the tool; the ctest driver sets both."""

from __future__ import annotations

import datetime
import json
import os
import pathlib
import subprocess
import threading

import pytest

import quorix

GOLDEN = pathlib.Path(os.environ.get("QUORIX_GOLDEN", pathlib.Path(__file__).parents[2] / "testdata" / "golden"))
CASES = sorted(GOLDEN.glob("*/*.in"))
GOLDEN_NOW = datetime.datetime(2024, 6, 15, 12, 0, 0)


def case(name: str) -> bytes:
    return (GOLDEN / name).read_bytes()


DONOR_VETERAN = "aamva/2014-v8-organ-donor-veteran.in"
NOT_DONOR = "aamva/2020-v10-ohio-letters-as-digits.in"
UNDER_21_DATE = "aamva/2014-under-age-dates-and-aliases.in"
STRIPE_TWO_DIGIT_YEAR = "magstripe/canadian-postal-code-fields-at-15.in"


@pytest.fixture
def parser():
    with quorix.Parser(clock=GOLDEN_NOW) as p:
        yield p


@pytest.fixture(scope="module")
def tool_json() -> dict[str, dict]:
    tool = os.environ.get("QUORIX_PARSE")
    if not tool:
        pytest.skip("QUORIX_PARSE does not name the command-line tool")
    run = subprocess.run(
        [tool, "--now", "2024-06-15T12:00:00", "--extras", "--checks", *map(str, CASES)], capture_output=True, text=True, check=False
    )
    assert run.returncode in (0, 1), run.stderr
    lines = [json.loads(line) for line in run.stdout.splitlines()]
    return {line["file"]: line for line in lines}


def test_corpus_is_there():
    assert len(CASES) > 50


@pytest.mark.parametrize("path", CASES, ids=lambda p: f"{p.parent.name}/{p.name}")
def test_golden_case_equals_tool_json(parser, tool_json, path):
    expected = tool_json[str(path)]
    result = parser.try_parse(path.read_bytes())
    assert result.status == expected["status"]
    if result.status != 0:
        assert result.to_dict() == {}
        return
    decoder = expected["decoder"]
    assert (result.decoder_group, result.decoder_id, result.standard) == (
        decoder["group"],
        decoder["id"],
        decoder["standard"],
    )
    assert result.repairs == frozenset(expected.get("repairs", []))
    actual = result.to_dict()
    assert list(actual) == list(expected["fields"])  # the same fields in the same order
    for name, value in expected["fields"].items():
        if isinstance(actual[name], bool):
            assert actual[name] is (value == 1), name
        else:
            assert actual[name] == value, name
    assert result.extras == expected["extras"]
    checks, on = expected["checks"], GOLDEN_NOW.date()
    assert result.is_expired(on) is checks["expired"]
    assert result.age_on(on) == checks.get("age")
    for years in (18, 19, 21):
        assert result.is_at_least(years, on) is checks[f"atLeast{years}"], years


def test_attribute_names_are_snake_case_of_the_readme_names():
    renamed = {
        "HAZMATExpDate": "hazmat_exp_date",
        "weightKG": "weight_kg",
        "weightLBS": "weight_lbs",
        "address1": "address1",
        "isLimitedDurationDocument": "is_limited_duration_document",
        "vehicleClassCodeDescription": "vehicle_class_code_description",
    }
    # A result whose every field holds its own index shows which attribute reads which field.
    result = quorix.Result((0, 0, 41, None, 0, tuple(str(i) for i in range(40)), (None,) * 14))
    assert len(quorix.FIELD_NAMES) == 40 and len(set(quorix.FIELD_NAMES)) == 40
    for readme, attribute in renamed.items():
        assert getattr(result, attribute) == str(quorix.FIELD_NAMES.index(readme)), attribute
    assert list(result.to_dict()) == list(quorix.FIELD_NAMES)


def test_indicators_are_bool_or_none_and_the_rest_str(parser):
    donor = parser.parse(case(DONOR_VETERAN))
    assert donor.is_organ_donor is True and donor.is_veteran is True
    assert parser.parse(case(NOT_DONOR)).is_organ_donor is False
    stripe = parser.parse(case(STRIPE_TWO_DIGIT_YEAR))
    assert stripe.is_organ_donor is None and stripe.middle_name is None
    assert all(type(value) is str for name, value in donor.to_dict().items() if not name.startswith("is"))


def test_date_fields(parser):
    result = parser.parse(case(DONOR_VETERAN))
    month, day, year = map(int, result.expiration_date.split("/"))
    assert result.date("expiration_date") == datetime.date(year, month, day)
    assert result.date("expirationDate") == result.date("expiration_date")
    assert isinstance(result.date("birthdate"), datetime.date)
    stripe = parser.parse(case(STRIPE_TWO_DIGIT_YEAR))
    assert stripe.date("hazmat_exp_date") is None
    for not_a_date in ("first_name", "height", "no_such_field"):
        with pytest.raises(ValueError):
            result.date(not_a_date)


def test_checks_use_the_cards_own_under_21_date(parser):
    result = parser.parse(case(UNDER_21_DATE))
    assert result.extras["under21Until"] == "03/05/2025" and "aliasFullName" not in result.extras
    birthday = datetime.date(2025, 3, 4)
    assert result.age_on(birthday) == 21 and result.age_on(datetime.date(2004, 3, 3)) is None
    assert not result.is_at_least(21, birthday) and result.is_at_least(21, birthday + datetime.timedelta(days=1))
    assert not result.is_expired(datetime.date(2031, 3, 4)) and result.is_expired(datetime.date(2031, 3, 5))
    assert isinstance(result.age_on(), int)  # today
    rejected = parser.try_parse(b"plain words no decoder takes")
    assert rejected.extras == {}
    with pytest.raises(quorix.ParseError):
        rejected.is_expired(birthday)


def test_clock_fixes_the_century_of_two_digit_years():
    text = case(STRIPE_TWO_DIGIT_YEAR)
    now = quorix.Parser(clock=GOLDEN_NOW).parse(text).date("expiration_date")
    later = datetime.datetime(2124, 6, 15, 12, 0, 0)
    calls = []
    with quorix.Parser(clock=lambda: calls.append(1) or later) as parser:
        assert parser.parse(text).date("expiration_date") == now.replace(year=now.year + 100)
        parser.parse(text)
    assert len(calls) == 2  # read at every parse
    assert quorix.parse_many([text], clock=later)[0].date("expiration_date").year == now.year + 100


def test_str_carries_bytes_as_latin_1(parser):
    text = case(DONOR_VETERAN)
    assert parser.parse(text.decode("latin-1")).to_dict() == parser.parse(text).to_dict()
    assert parser.parse(bytearray(text)).to_dict() == parser.parse(text).to_dict()
    with pytest.raises(UnicodeEncodeError):
        parser.parse("@\nANSI \u20ac")
    with pytest.raises(TypeError):
        parser.parse(12345)


def test_high_bytes_never_reach_a_field(parser):
    text = bytearray(case(DONOR_VETERAN))
    for at in range(40, len(text), 7):
        text[at] = 0x80 + at % 128
    result = parser.try_parse(bytes(text))
    for value in result.to_dict().values():
        assert isinstance(value, bool) or all(32 <= ord(c) <= 126 for c in value)
    assert parser.try_parse(bytes(range(0x80, 0x100))).status == -25


@pytest.mark.parametrize(
    ("data", "status", "message"),
    [
        (b"plain words no decoder takes", -25, "no decoder accepted the input"),
        (b"", -17, "the input is empty"),
    ],
)
def test_errors_carry_status_and_message(parser, data, status, message):
    with pytest.raises(quorix.ParseError) as error:
        parser.parse(data)
    assert error.value.status == status and error.value.message == message
    assert str(error.value) == f"{message} (status {status})"
    rejected = parser.try_parse(data)
    assert rejected.status == status and rejected.to_dict() == {}
    assert rejected.first_name is None and rejected.decoder_id == -1 and rejected.standard is None
    assert rejected.repairs == frozenset()


def test_a_rejected_parse_leaves_earlier_results_alone(parser):
    first = parser.parse(case(DONOR_VETERAN))
    fields = first.to_dict()
    parser.try_parse(b"plain words no decoder takes")
    assert first.to_dict() == fields


def test_closed_parser_refuses_to_parse():
    parser = quorix.Parser()
    with parser:
        parser.parse(case(DONOR_VETERAN))
    with pytest.raises(ValueError, match="closed"):
        parser.parse(case(DONOR_VETERAN))
    parser.close()  # twice is harmless


def test_parse_many_keeps_input_order_on_any_number_of_threads():
    texts = [path.read_bytes() for path in CASES] * 5
    with quorix.Parser(clock=GOLDEN_NOW) as parser:
        expected = [(r.status, r.decoder_id, r.to_dict()) for r in map(parser.try_parse, texts)]
    for threads in (1, 3, 8):
        results = quorix.parse_many(iter(texts), threads=threads, clock=GOLDEN_NOW)
        assert [(r.status, r.decoder_id, r.to_dict()) for r in results] == expected, threads
    assert quorix.parse_many([], threads=4) == []
    with pytest.raises(ValueError):
        quorix.parse_many(texts, threads=0)


def test_parse_many_from_several_python_threads_at_once():
    texts = [path.read_bytes() for path in CASES]
    expected = [r.to_dict() for r in quorix.parse_many(texts, clock=GOLDEN_NOW)]
    shared = quorix.Parser(clock=GOLDEN_NOW)
    failures = []

    def work():
        for _ in range(3):
            if [r.to_dict() for r in quorix.parse_many(texts, threads=2, clock=GOLDEN_NOW)] != expected:
                failures.append("parse_many")
            if [shared.try_parse(t).to_dict() for t in texts] != expected:
                failures.append("shared parser")

    workers = [threading.Thread(target=work) for _ in range(4)]
    for worker in workers:
        worker.start()
    for worker in workers:
        worker.join()
    shared.close()
    assert failures == []


def test_versions_and_names():
    assert quorix.LIBRARY_VERSION == "v." + quorix.__version__
    assert "separators restored" in quorix.REPAIR_NAMES
    assert quorix.status_message(-25) == "no decoder accepted the input"
