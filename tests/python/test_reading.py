"""Reading databases the tool made: iteration, fields, queries."""

import numpy
import pytest

import metdb


def test_reads_every_location_the_tool_wrote(db_path, tool):
    listed = tool.records(db_path)
    with metdb.open(db_path, readonly=True) as db:
        assert len(db) == len(listed)
        seen = list(db)
    assert [l.index for l in seen] == [r["index"] for r in listed]
    for location, record in zip(seen, listed):
        assert location.parts == tuple(record[k] for k in ("continent", "country", "state", "name"))
        for field, value in location.to_dict().items():
            # The tool writes each float32 in the shortest form that reads back to it.
            kind = numpy.float32 if isinstance(value, float) else numpy.asarray(value).dtype
            wanted = numpy.asarray(record[field], dtype=kind)
            assert numpy.array_equal(numpy.asarray(value, dtype=kind), wanted), field
    zurich = next(l for l in seen if l.name == "Zürich")
    assert zurich.path == "Europe/Switzerland/Zürich/Zürich"
    assert zurich.auxValue == 7
    assert zurich.seriesC.dtype == numpy.int16 and zurich.seriesC[0] == 3
    assert zurich.seriesA.dtype == numpy.float32 and zurich.seriesA[0] == -1.5
    assert zurich.to_dict()["index"] == zurich.index
    assert db.closed


def test_locations_take_the_tools_filters(db_path, tool):
    with metdb.open(db_path, readonly=True) as db:

        def names(**filters):
            return [l.name for l in db.locations(**filters)]

        assert names(country="norway") == ["Oslo", "Tromsø", "Bergen"]
        assert names(name="tromso") == ["Tromsø"]
        assert names(country="Nor*", level_limit=2) == ["Oslo", "Bergen"]
        assert names(bbox=(-20, -80, 0, 40)) == ["Nairobi", "Lima"]
        assert names(bbox="-20,-80,0,40") == names(bbox=(-20, -80, 0, 40))
        listed = tool.run("--db", db_path, "list", "--continent", "Eur*", "--level-limit", "1",
                          "--format", "json")
        assert len(db.locations(continent="Eur*", level_limit=1)) == listed.stdout.count('"index"')
        with pytest.raises(TypeError):
            db.locations(town="Oslo")


def test_find_and_nearest_answer_as_the_tool(db):
    hits = db.find("zurich")
    assert [h.location.name for h in hits] == ["Zürich"]
    assert (hits[0].kind, hits[0].matched_in) == ("exact", "name")
    assert [h.location.name for h in db.find("berg", limit=1)] == ["Bergen"]
    # From the second find on, the answer comes from an index of the names,
    # which an edit drops.
    assert [(h.location.name, h.kind) for h in db.find("zurch")] == [("Zürich", "near")]
    db.add(name="Zurcher Hof", state="Bern", country="Switzerland", continent="Europe",
           latitude=46.9, longitude=7.4)
    assert [h.location.name for h in db.find("zurch")] == ["Zurcher Hof", "Zürich"]
    assert [h.location.name for h in db.find("zurch")] == ["Zurcher Hof", "Zürich"]

    near = db.nearest(60.0, 10.0, count=2)
    assert [n.location.name for n in near] == ["Oslo", "Bergen"]
    assert near[0].distance_km == pytest.approx(42.8, abs=1.0)
    assert 0.0 <= near[0].bearing < 360.0
    assert [n.location.name for n in db.nearest(60.0, 10.0, within_km=100)] == ["Oslo"]
    assert db.nearest(60.0, 10.0, continent="Africa")[0].location.name == "Nairobi"
