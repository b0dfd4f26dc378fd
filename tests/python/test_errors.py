"""Errors: the tool's sentences, their classes, the lock."""

import pytest

import metdb
from conftest import write_stations


def tool_message(done):
    """The sentence of a failed tool command, without its "metdb: "."""
    assert done.returncode == 1
    return done.stderr.strip().splitlines()[-1].removeprefix("metdb: ")


def test_errors_carry_the_tools_sentences(db_path, tool, tmp_path):
    missing = tmp_path / "none.bmt"
    with pytest.raises(metdb.NotFoundError) as caught:
        metdb.open(missing)
    assert str(caught.value) == tool_message(tool.run("--db", missing, "list", check=False))
    assert isinstance(caught.value, metdb.Error) and isinstance(caught.value, LookupError)

    with metdb.open(db_path) as db:
        for args, change in [
            (["delete", "999"], lambda: db.delete(999)),
            (["delete", "Asia"], lambda: db.delete("Asia")),
            (["set", "Asia/Japan/Tokyo/Tokyo", "--level", "2"],
             lambda: db.set("Asia/Japan/Tokyo/Tokyo", level=2)),
        ]:
            with pytest.raises(metdb.NotFoundError) as caught:
                change()
            db.close()
            assert str(caught.value) == tool_message(
                tool.run("--db", db_path, *args, check=False))
            db = metdb.open(db_path)
        db.close()


def test_the_lock_is_held_until_close(db_path, tool, tmp_path, monkeypatch):
    monkeypatch.chdir(tmp_path)
    def tool_change():
        return tool.run("--db", db_path, "--wait", "0", "set", "0", "--aux-value", "4",
                        check=False)

    with metdb.open(db_path, wait=0):
        refused = tool_change()
        assert refused.returncode == 1 and "Another process kept" in refused.stderr
        with pytest.raises(metdb.BusyError, match="open for writing in this process"):
            metdb.open(db_path, readonly=True)
    assert tool_change().returncode == 0
    with metdb.open(db_path, readonly=True) as db:
        assert db.get(0).auxValue == 4
    with pytest.raises(metdb.ClosedError):
        len(db)
    # Closing opens and makes no file of its own.
    assert sorted(p.name for p in tmp_path.iterdir()) == ["st.bmt", "st.bmt.lock", "st.dir",
                                                          "st.stn", "stations.csv"]


def test_a_change_ends_an_iteration_begun_before(db):
    walk = iter(db)
    next(walk)
    db.set(0, auxValue=1)
    with pytest.raises(metdb.Error, match="changed during the iteration"):
        next(walk)


def test_an_interruption_while_warning_stops_the_opening(tool, tmp_path, monkeypatch):
    import warnings

    monkeypatch.chdir(tmp_path)
    tool.run("--db", "noext", "create", write_stations(tmp_path))

    def interrupt(*args, **kwargs):
        raise KeyboardInterrupt

    monkeypatch.setattr(warnings, "showwarning", interrupt)
    with pytest.raises(KeyboardInterrupt):
        metdb.open("noext")  # warns of its directory file "default.dir"
    monkeypatch.undo()
    monkeypatch.chdir(tmp_path)
    with pytest.warns(metdb.MetdbWarning, match="default.dir"):
        with metdb.open("noext", readonly=True) as db:
            assert len(db) == 7


def test_each_cause_has_its_class(db_path, tmp_path):
    with metdb.open(db_path) as db:
        with pytest.raises(metdb.NotFoundError):
            db.import_from(tmp_path / "missing.bmt")
        with pytest.raises(metdb.BadInputError, match="not a regular file"):
            db.import_from(tmp_path)
        with pytest.raises(metdb.BadInputError, match="nothing to search for"):
            db.find("  ")
        with pytest.raises(metdb.BadInputError, match="^bbox: SOUTH lies north of NORTH"):
            db.find("Oslo", bbox=(50, 0, 40, 10))
        with pytest.raises(metdb.BadInputError):
            db.rename("Europe/", "")
