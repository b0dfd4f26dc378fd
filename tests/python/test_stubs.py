"""The type stubs name what the module has."""

import ast
import pathlib

import metdb


def public(names):
    return {n for n in names if not n.startswith("_")}


def test_stubs_match_the_module():
    stub = ast.parse(pathlib.Path(metdb.__file__).with_name("__init__.pyi").read_text())
    assert pathlib.Path(metdb.__file__).with_name("py.typed").exists()
    declared = {}
    for node in stub.body:
        if isinstance(node, ast.ClassDef):
            declared[node.name] = public(
                n.name for n in node.body if isinstance(n, ast.FunctionDef)
            )
        elif isinstance(node, ast.FunctionDef):
            declared[node.name] = None
        elif isinstance(node, ast.AnnAssign):
            declared[node.target.id] = None
    assert set(declared) - {"Box"} <= set(dir(metdb))
    assert public(metdb.__all__) == set(declared) - {"Box"}
    for name, members in declared.items():
        if members is None:
            continue
        cls = getattr(metdb, name)
        assert public(dir(cls)) - public(dir(object)) - public(dir(Exception)) == members, name
        for member in members:
            assert getattr(cls, member).__doc__, f"{name}.{member} has no docstring"
