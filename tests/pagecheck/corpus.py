"""The page-check corpus: the real pages pages.tsv pins, where fetch.sh unpacked them."""
import os

HERE = os.path.dirname(os.path.abspath(__file__))


def pages(cache):
    """(name, path) of every page in pages.tsv's order; packages that only hold what pages link are left out."""
    with open(os.path.join(HERE, "pages.tsv")) as rows:
        for line in rows:
            if not line.strip() or line.startswith("#"):
                continue
            name, source, package, version, path = line.rstrip("\n").split("\t")
            if name == "-":
                continue
            if source == "npm":
                yield name, os.path.join(cache, "npm", "%s@%s" % (package.replace("/", "_"), version), path)
            else:
                yield name, os.path.join(cache, "deb", path)
