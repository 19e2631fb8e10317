"""The real-world corpus: the stylesheets stylesheets.tsv pins and the pages under pages/, laid out to read."""
import os
import shutil

HERE = os.path.dirname(os.path.abspath(__file__))


def _rows(listing):
    with open(listing) as rows:
        for line in rows:
            if line.strip() and not line.startswith("#"):
                yield line.rstrip("\n").split("\t")


def cached(cache, package, version, path):
    return os.path.join(cache, "%s@%s" % (package.replace("/", "_"), version), path)


def texts(cache, scratch):
    """(name, "sheet" | "page", path) for every text: a stylesheet where fetch.sh unpacked it, a page copied
    into the scratch folder with the real stylesheets its vendor.tsv names put where it links them."""
    for source, package, version, path in _rows(os.path.join(HERE, "stylesheets.tsv")):
        yield "%s@%s/%s" % (package, version, path), "sheet", cached(cache, package, version, path)
    pages = os.path.join(HERE, "pages")
    for name in sorted(os.listdir(pages)):
        folder = os.path.join(scratch, "pages", name)
        shutil.copytree(os.path.join(pages, name), folder)
        vendor = os.path.join(folder, "vendor.tsv")
        if os.path.exists(vendor):
            for target, package, version, path in _rows(vendor):
                os.makedirs(os.path.dirname(os.path.join(folder, target)), exist_ok=True)
                shutil.copy(cached(cache, package, version, path), os.path.join(folder, target))
            os.remove(vendor)
        yield "pages/" + name, "page", os.path.join(folder, "index.html")
