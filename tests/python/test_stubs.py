"""The type stubs describe the module as it is: names, parameters and defaults."""
import ast
import inspect
import os
import unittest

from support import skyloam_mp as mp

STUB = os.path.join(os.path.dirname(__file__), "..", "..", "stubs", "skyloam_mp.pyi")


def stub_tree():
    with open(STUB, encoding="utf-8") as f:
        return ast.parse(f.read())


def stub_parameters(function):
    """(name, default source or None) of a stub function, without self."""
    args = function.args
    names = [a.arg for a in args.args]
    defaults = [None] * (len(names) - len(args.defaults)) + [ast.unparse(d) for d in args.defaults]
    pairs = list(zip(names, defaults))
    return pairs[1:] if pairs and pairs[0][0] == "self" else pairs


def runtime_parameters(obj):
    signature = inspect.signature(obj)
    return [(p.name, None if p.default is inspect.Parameter.empty else repr(p.default))
            for p in signature.parameters.values() if p.name != "self"]


def same_default(stub, runtime):
    if stub is None or runtime is None:
        return stub == runtime
    return ast.literal_eval(stub) == ast.literal_eval(runtime)


class Stubs(unittest.TestCase):
    def setUp(self):
        self.tree = stub_tree()
        self.public = {n.name: n for n in self.tree.body
                       if isinstance(n, (ast.ClassDef, ast.FunctionDef)) and not n.name.startswith("_")}
        self.constants = {n.target.id for n in self.tree.body if isinstance(n, ast.AnnAssign)}

    def assert_same_parameters(self, stub_function, runtime, where):
        expected = stub_parameters(stub_function)
        actual = runtime_parameters(runtime)
        self.assertEqual([n for n, _ in expected], [n for n, _ in actual], where)
        for (name, stub), (_, value) in zip(expected, actual):
            self.assertTrue(same_default(stub, value), f"{where}: default of {name}")

    def test_every_name_is_described(self):
        module_names = {n for n in vars(mp) if not n.startswith("__")}
        self.assertEqual(set(self.public) | self.constants, module_names)

    def test_functions_match_their_text_signatures(self):
        for name, node in self.public.items():
            if isinstance(node, ast.FunctionDef):
                self.assert_same_parameters(node, getattr(mp, name), name)

    def test_classes_match_their_members(self):
        for name, node in self.public.items():
            if not isinstance(node, ast.ClassDef):
                continue
            cls = getattr(mp, name)
            members = {n.name: n for n in node.body if isinstance(n, ast.FunctionDef)}
            runtime = {m for m in vars(cls) if not m.startswith("__")}
            self.assertEqual({m for m in members if not m.startswith("__")}, runtime, name)
            if "__init__" in members:
                self.assert_same_parameters(members["__init__"], cls, name)
            else:
                self.assertIsNone(cls.__text_signature__, name)
            for member, function in members.items():
                attribute = vars(cls).get(member)
                if inspect.isgetsetdescriptor(attribute) or member.startswith("__"):
                    continue
                self.assert_same_parameters(function, getattr(cls, member), f"{name}.{member}")


if __name__ == "__main__":
    unittest.main()
