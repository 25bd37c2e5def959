#!/usr/bin/env python3
"""Writes sample pages of the fixture site and the records the feed page worker must make of them.

    make_golden.py [--out tests/data/feed] [--user NAME --all-pages]

Each page <name>.html or <name>.json gets a <name>.expected.txt beside it, UTF-8, one line each:
    total <count>                      the profile page's media count (absent when there is none)
    photo<TAB>low<TAB>standard<TAB>video<TAB>date<TAB>caption<TAB>link<TAB>id
    next <suffix>                      the page to fetch next ("next" alone: none)
    invalid                            a feed page without the more-available marker
Backslash, tab, line feed and carriage return inside a field are written \\ \t \n \r.
Dates are those of the UTC time zone. The pages use the site's default ports.

With --user and --all-pages it writes every feed page of that user instead (for benchmarks).
"""

import argparse
import os
import sys

sys.path.insert(0, os.path.dirname(os.path.abspath(__file__)))

import sitedata  # noqa: E402

HERE = os.path.dirname(os.path.abspath(__file__))
DEFAULT_OUT = os.path.normpath(os.path.join(HERE, "..", "..", "tests", "data", "feed"))


class SampleSite:
    """The addresses a running site with its default ports would write into its pages."""
    service_base = "http://127.0.0.1:18080"
    image_base = "http://127.0.0.1:18081"
    maker_base = "http://127.0.0.1:18082"


def escape_field(text):
    return (text.replace("\\", "\\\\").replace("\t", "\\t").replace("\n", "\\n")
            .replace("\r", "\\r"))


def whole_number(text):
    text = text.strip()
    digits = text[1:] if text[:1] in "+-" else text
    return int(text) if digits.isdigit() else -1


def expected_profile(page):
    """The profile page read the way the worker reads it: by searching the text."""
    text = page.decode("utf-8")
    counts = text.rfind('"counts":{')
    if '"can_delete_comments":' not in text or counts < 0:
        return ["next"]
    media = text.find('"media":', counts + len('"counts":{'))
    comma = text.find(",", media + len('"media":')) if media >= 0 else -1
    if comma < 0:
        return ["next"]
    return ["total %d" % whole_number(text[media + len('"media":'):comma]), "next /media"]


def expected_feed(user, site, max_id):
    if user.feed == "invalid":
        return ["invalid"]
    chunk, more = user.page_items(max_id)
    lines = ["photo\t" + "\t".join(escape_field(field) for field in item.expected_record(site))
             for item in chunk]
    lines.append("next /media?max_id=%s" % chunk[-1].id if more and chunk else "next")
    return lines


# (file name, user, max_id or "profile")
SAMPLES = [
    ("alice-profile.html", "alice", "profile"),
    ("alice-media-1.json", "alice", None),
    ("alice-media-2.json", "alice", "1001_26"),
    ("alice-media-3.json", "alice", "1001_6"),
    ("bob-profile.html", "bob", "profile"),
    ("bob-media-1.json", "bob", None),
    ("zero-profile.html", "zero", "profile"),
    ("zero-media-1.json", "zero", None),
    ("private-profile.html", "private", "profile"),
    ("nocount-profile.html", "nocount", "profile"),
    ("lastkey-profile.html", "lastkey", "profile"),
    ("badfeed-media-1.json", "badfeed", None),
    ("loop-media-2.json", "loop", "9009_11"),
]


def write(path, data):
    with open(path, "wb") as stream:
        stream.write(data)


def sample_files(site=SampleSite()):
    """{file name: bytes} of every sample page and its expected records."""
    users = sitedata.make_users()
    files = {}
    for name, user_name, which in SAMPLES:
        user = users[user_name]
        if which == "profile":
            page = user.profile_page(site)
            lines = expected_profile(page)
        else:
            page, lines = user.feed_page(site, which), expected_feed(user, site, which)
        stem = name.rsplit(".", 1)[0]
        files[name] = page
        files[stem + ".expected.txt"] = ("\n".join(lines) + "\n").encode("utf-8")
    return files


def all_pages(user, site=SampleSite()):
    """[(file name, bytes)] of every feed page of a user, in paging order."""
    pages = []
    max_id = None
    while True:
        chunk, more = user.page_items(max_id)
        pages.append(("%s-media-%d.json" % (user.name, len(pages) + 1),
                      user.feed_page(site, max_id)))
        if not (more and chunk):
            return pages
        max_id = chunk[-1].id


def main(argv=None):
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[1])
    parser.add_argument("--out", default=DEFAULT_OUT)
    parser.add_argument("--user")
    parser.add_argument("--all-pages", action="store_true")
    args = parser.parse_args(argv)
    os.makedirs(args.out, exist_ok=True)
    if args.all_pages:
        user = sitedata.make_users()[args.user]
        for name, data in all_pages(user):
            write(os.path.join(args.out, name), data)
        return 0
    for name, data in sample_files().items():
        write(os.path.join(args.out, name), data)
    return 0


if __name__ == "__main__":
    sys.exit(main())
