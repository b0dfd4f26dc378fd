"""Changes made from Python, read back by the tool."""

import pytest

import metdb
from conftest import write_stations


def test_edits_leave_a_database_the_tool_reads(db_path, tool, tmp_path):
    with metdb.open(db_path) as db:
        index = db.add(
            name="Basel", state="Basel-Stadt", country="Switzerland", continent="Europe",
            latitude=47.5596, longitude=7.5886, seriesA=[float(m) for m in range(12)],
        )
        assert db.get(index).name == "Basel"
        bern = db.set("Europe/Switzerland/Bern/Bern", level=3, seriesC7=12)
        assert db.get(bern).level == 3 and db.get(bern).seriesC[6] == 12
        assert db.set_where({"auxValue": 5}, country="Norway") == 3
        assert db.rename("Europe/Norway/Troms", "Troms og Finnmark") == 1
        assert db.delete("Africa") == 1
        other = tmp_path / "other.bmt"
        tool.run("--db", other, "create",
                 write_stations(tmp_path, "name,state,country,continent,latitude,longitude\n"
                                "Quito,Pichincha,Ecuador,South America,-0.18,-78.47\n",
                                "other.csv"))
        assert db.import_from(str(other))["new"] == 1
        more = write_stations(tmp_path, "name,state,country,continent,latitude,longitude\n"
                              "Cusco,Cusco,Peru,South America,-13.53,-71.97\n", "more.csv")
        db.import_from(str(more))
        before, after = db.compact()
        assert after <= before
        count = len(db)

    listed = {r["name"]: r for r in tool.records(db_path)}
    assert len(listed) == count == 9
    assert "Nairobi" not in listed and {"Basel", "Quito", "Cusco"} <= set(listed)
    assert listed["Tromsø"]["state"] == "Troms og Finnmark"
    assert listed["Oslo"]["auxValue"] == 5
    assert listed["Bern"]["level"] == 3
    assert tool.run("--db", db_path, "check").returncode == 0


def test_several_databases_open_at_once(db_path, tool, tmp_path):
    other = tmp_path / "other.bmt"
    tool.run("--db", other, "create",
             write_stations(tmp_path, "name,state,country,continent,latitude,longitude\n"
                            "Quito,Pichincha,Ecuador,South America,-0.18,-78.47\n", "o.csv"))
    with metdb.open(db_path) as db, metdb.open(other, readonly=True) as source:
        count = len(db)
        # Each answers from its own database, whichever was opened last.
        assert [m.location.name for m in source.find("Quito")] == ["Quito"]
        assert db.find("Quito") == []
        assert db.import_from(source)["new"] == 1
        assert len(db) == count + 1 and len(source) == 1
        assert [r.name for r in db.locations(country="Ecuador")] == ["Quito"]
        with pytest.raises(metdb.BadInputError, match="this database's own"):
            db.import_from(db)
    assert tool.run("--db", db_path, "check").returncode == 0


def test_readonly_database_refuses_every_change(db_path, tmp_path):
    before = db_path.read_bytes()
    with metdb.open(db_path, readonly=True) as db:
        changes = [
            lambda: db.add(name="X", country="Y", continent="Z", latitude=1, longitude=2),
            lambda: db.set(0, level=2),
            lambda: db.set_where({"level": 2}, continent="*"),
            lambda: db.delete(0),
            lambda: db.rename("Europe", "Europa"),
            lambda: db.compact(),
            lambda: db.import_from(str(db_path)),
        ]
        for change in changes:
            with pytest.raises(metdb.ReadOnlyError, match="is open read-only"):
                change()
    assert db_path.read_bytes() == before


def test_bad_values_are_refused_with_nothing_changed(db, db_path):
    count = len(db)
    with pytest.raises(metdb.BadInputError, match=r'^latitude: "91.0" is outside -90..90\.$'):
        db.add(name="X", country="Y", continent="Z", latitude=91.0, longitude=0)
    with pytest.raises(metdb.BadInputError, match="needs its latitude"):
        db.add(name="X", country="Y", continent="Z", longitude=0)
    with pytest.raises(metdb.BadInputError, match='"town" is no field'):
        db.set(0, town="X")
    with pytest.raises(metdb.BadInputError, match="twelve"):
        db.set(0, seriesA=[1, 2])
    first = db.get(0)
    with pytest.raises(metdb.Error, match="already"):
        db.add(name=first.name, state=first.state, country=first.country,
               continent=first.continent, level=first.level, latitude=first.latitude,
               longitude=first.longitude)
    assert len(db) == count
