"""The demo users of the fixture site and the pages the service host serves for them.

Everything is generated from fixed seeds, so every run serves the same bytes. Page formats follow
what the program's feed page worker reads: the profile page is an HTML page whose script data holds
the user's counts; feed pages are compact JSON objects with a root `items` array and a root
`more_available` literal.
"""

import datetime
import html
import json
import random

PAGE_SIZE = 20
BASE_TIME = 1394000000  # 2014-03-05 06:13:20 UTC, the newest item of most users
DAY = 86400

MONTHS = ["January", "February", "March", "April", "May", "June", "July", "August",
          "September", "October", "November", "December"]

# Captions with non-ASCII text, characters that JSON escapes, emoji (surrogate pairs in UTF-16)
# and blanks at the ends (the worker trims them).
CAPTIONS = [
    "Sun and sea #beach Caf\u00e9 \U0001F305",
    'She said "hello" and left \\o/',
    "Line one\nline two\twith a tab",
    "Z\u00fcrich, \u0395\u03bb\u03bb\u03ac\u03b4\u03b1, \u6771\u4eac \u2014 na\u00efve fa\u00e7ade",
    "Party time \U0001F389\U0001F382 #birthday @friend",
    "Path a/b/c and 100% fun",
    "  padded with blanks at both ends\t ",
    "Family \U0001F468\u200D\U0001F469\u200D\U0001F467 and a flag \U0001F1E9\U0001F1EA",
    "\u00dcn\u00efc\u00f6d\u00e9 \u2713 \u2600 \u2665",
    "Back\\slash, 'single' quotes & <angle> brackets",
    "Mountains \u26F0\ufe0f at dawn #hiking #nature",
    "\u041f\u0440\u0438\u0432\u0435\u0442 \u043c\u0438\u0440 / \u0645\u0631\u062d\u0628\u0627 / \u05e9\u05dc\u05d5\u05dd",
]

TRIMMED = " \t\r\n"


class Item:
    """One media item of a user, newest first in the user's list."""

    def __init__(self, user, number, kind="image", created=None, caption=None,
                 caption_key=True, video_url=True):
        self.user = user
        self.number = number
        self.id = "%s_%d" % (user.user_id, number)
        self.code = "%s%d" % (user.name[0].upper(), number)
        self.kind = kind
        self.created = created          # int, str, "" or None (key absent)
        self.caption = caption          # str, or None for "caption":null
        self.caption_key = caption_key  # False: no caption key at all
        self.video_url = video_url and kind == "video"
        self.low_path = "/cdn/%s/l/%s.jpg" % (user.name, self.id)
        self.std_path = "/cdn/%s/s/%s.jpg" % (user.name, self.id)
        self.video_path = "/cdn/%s/v/%s.mp4" % (user.name, self.id)
        self.std_query = ""             # a query after the full-size picture's address
        self.video_query = ""
        self.full_size = (640, 640)     # the full-size picture's width and height

    def low_url(self, site):
        return site.image_base + self.low_path + self.user.low_query(self)

    def std_url(self, site):
        return site.image_base + self.std_path + self.std_query

    def video_url_of(self, site):
        return site.image_base + self.video_path + self.video_query

    def link(self, site):
        return "%s/p/%s/" % (site.service_base, self.code)

    def as_json(self, site):
        entry = {"id": self.id, "code": self.code, "type": self.kind}
        if self.created is not None:
            entry["created_time"] = self.created
        entry["link"] = self.link(site)
        if self.caption_key:
            if self.caption is None:
                entry["caption"] = None
            else:
                entry["caption"] = {"id": "9%s" % self.id.replace("_", ""),
                                    "created_time": str(self.created or BASE_TIME),
                                    "text": self.caption,
                                    "from": {"id": self.user.user_id, "username": self.user.name}}
        entry["images"] = {
            "thumbnail": {"url": site.image_base + "/cdn/%s/t/%s.jpg" % (self.user.name, self.id),
                          "width": 150, "height": 150},
            "low_resolution": {"url": self.low_url(site), "width": 320, "height": 320},
            "standard_resolution": {"url": self.std_url(site), "width": self.full_size[0],
                                    "height": self.full_size[1]},
        }
        if self.video_url:
            entry["alt_media_url"] = self.video_url_of(site)
        entry["likes"] = {"count": self.number % 17}
        entry["user"] = {"id": self.user.user_id, "username": self.user.name}
        return entry

    def expected_record(self, site):
        """The record the feed page worker makes of this item (dates in UTC)."""
        date = ""
        if self.created not in (None, ""):
            seconds = int(self.created)
            moment = datetime.datetime.fromtimestamp(seconds, datetime.timezone.utc)
            date = "%s %d, %d" % (MONTHS[moment.month - 1], moment.day, moment.year)
        caption = (self.caption or "").strip(TRIMMED) if self.caption_key else ""
        video = self.video_url_of(site) if self.video_url else ""
        return [self.low_url(site), self.std_url(site), video, date, caption, self.link(site),
                self.id]


class User:
    """A demo or scenario user: its items and how the site answers for it."""

    def __init__(self, name, user_id, count, seed, media_text=None, counts_marker=True,
                 feed="normal", thumb_status=None, delay=False, stall=False, flaky=None,
                 low_query=None, shared_low=None, empty_thumbs=(), redirect_to=None, full=None):
        self.name = name
        self.user_id = str(user_id)
        self.feed = feed                  # "normal", "invalid" or "ignore_max_id"
        self.counts_marker = counts_marker
        self.thumb_status = thumb_status or {}  # item number -> HTTP status of its thumbnail
        self.delay = delay                # every reply for this user waits the site's delay
        self.stall = stall                # the profile page is never answered
        self.flaky = flaky or {}          # "profile" / "page2" -> failures before success
        self._low_query = low_query
        self.shared_low = shared_low or {}  # item number -> number whose thumbnail it shares
        self.empty_thumbs = set(empty_thumbs)
        self.redirect_to = redirect_to    # every request is answered 302 to this user's page
        self.full = full or {}            # item number -> how its full-size picture is served
        self.items = self._make_items(count, seed)
        self.media_text = media_text if media_text is not None else str(len(self.items))
        for number, other in self.shared_low.items():
            self.item(number).low_path = self.item(other).low_path

    def _make_items(self, count, seed):
        rng = random.Random(seed)
        items = []
        for number in range(count, 0, -1):
            age = count - number
            created = BASE_TIME - age * DAY - rng.randrange(0, 6) * 3600
            created = str(created) if number % 3 else created  # text and number forms
            caption = CAPTIONS[rng.randrange(len(CAPTIONS))]
            kind = "video" if rng.random() < 0.08 else "image"
            items.append(Item(self, number, kind, created, caption))
        return items

    def item(self, number):
        return next(item for item in self.items if item.number == number)

    def item_at(self, path, stem):
        """The item a picture address names: by its id, or by its full-size or video path."""
        for item in self.items:
            if item.id == stem or path in (item.std_path, item.video_path):
                return item
        return None

    def low_query(self, item):
        return self._low_query(item) if self._low_query else ""

    def profile_page(self, site):
        counts = '"counts":{"media":%s,"followed_by":%d,"follows":%d}' % (
            self.media_text, 100 + len(self.items), 80)
        if self.name == "lastkey":
            counts = '"counts":{"follows":80,"media":%s}' % self.media_text
        user = ('{"username":"%s","full_name":"%s","id":"%s","is_private":%s,%s%s}' % (
            self.name, self.name.title(), self.user_id,
            "false" if self.counts_marker else "true",
            '"can_delete_comments":false,' if self.counts_marker else "", counts))
        # The viewer's own counts come first: the worker must take the last "counts" object.
        viewer = '{"viewer":{"username":"guest","counts":{"media":999,"follows":0}}}'
        return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s</title></head><body>\n"
                "<script type=\"text/javascript\">window.__viewer = %s;</script>\n"
                "<script type=\"text/javascript\">window.__profileData = "
                "{\"entry_data\":{\"ProfilePage\":[{\"user\":%s,\"logging_page_id\":\"profilePage_%s\"}]}};"
                "</script>\n"
                "<p>%s on the fixture site</p>\n</body></html>\n" % (
                    html.escape(self.name), viewer, user, self.user_id,
                    html.escape(self.name))).encode("utf-8")

    def page_items(self, max_id):
        """The items of one feed page and whether more follow."""
        if self.feed == "ignore_max_id" or max_id is None:
            start = 0
        else:
            ids = [item.id for item in self.items]
            if max_id not in ids:
                return [], False
            start = ids.index(max_id) + 1
        chunk = self.items[start:start + PAGE_SIZE]
        return chunk, start + PAGE_SIZE < len(self.items)

    def feed_page(self, site, max_id):
        if self.feed == "invalid":
            return b'{"status":"fail","message":"rate limited"}'
        chunk, more = self.page_items(max_id)
        page_number = 1 if max_id is None else 2
        if chunk:
            page_number = self.items.index(chunk[0]) // PAGE_SIZE + 1
        return render_feed_page([item.as_json(site) for item in chunk], more, page_number)


def render_feed_page(entries, more, page_number):
    """Compact JSON of one feed page. Odd pages escape every non-ASCII character and every slash,
    even pages carry UTF-8 text as it is, so both forms are read."""
    document = {"status": "ok", "items": entries}
    if entries:
        document["more_available"] = more
    else:
        # An empty array must not be followed by another key inside the items, so the literal
        # goes last at the top level, as the service writes it.
        document["more_available"] = False
    escaped = page_number % 2 == 1
    text = json.dumps(document, separators=(",", ":"), ensure_ascii=escaped)
    if escaped:
        text = text.replace("/", "\\/")
    return text.encode("utf-8")


def _alice():
    user = User("alice", 1001, 45, seed=45)
    # Fixed features on the main road: videos with and without their address, an item without
    # a caption, one with a null caption, items without a date or with an empty one.
    for number, caption in zip(range(45, 33, -1), CAPTIONS):
        user.item(number).caption = caption
    user.item(44).kind = "video"
    user.item(44).video_url = True
    user.item(33).caption = None
    user.item(30).kind = "video"
    user.item(30).video_url = True
    user.item(12).kind = "video"
    user.item(12).video_url = False
    user.item(20).caption_key = False
    user.item(40).created = None
    user.item(39).created = ""
    for item in user.items:
        if item.kind == "video" and item.number not in (44, 30, 12):
            item.kind = "image"
            item.video_url = False
    return user


def _fullsize():
    """Full-size pictures that fail and succeed in every way the viewer has to handle, newest first:
    a 64 x 64 picture; one failing twice, then served; one whose address has no extension and a
    query; bytes that are no picture; one held until the site releases it; one always failing."""
    kinds = {6: "small", 5: "flaky", 4: "noext", 3: "notpicture", 2: "slow", 1: "broken"}
    user = User("fullsize", 1808, 6, seed=6, full=kinds)
    for item in user.items:
        item.kind = "image"
        item.video_url = False
    user.item(4).std_path = "/cdn/fullsize/s/%s" % user.item(4).id
    user.item(4).std_query = "?size=640"
    return user


# The odd-names user's longest file name: 300 characters with its extension.
LONG_NAME_LENGTH = 300


def _oddnames():
    """Addresses whose last segment is no safe file name: a query, ':' and '*', 300 characters;
    two large pictures that are not square."""
    user = User("oddnames", 1909, 5, seed=5)
    for item in user.items:
        item.kind = "image"
        item.video_url = False
    user.item(5).std_query = "?sig=5&size=s"
    wide = user.item(4)
    wide.std_path = "/cdn/oddnames/s/%s:wide*.jpg" % wide.id
    wide.full_size = (3000, 2000)
    tall = user.item(3)
    stem = "%s_tall_" % tall.id
    tall.std_path = "/cdn/oddnames/s/%s%s.jpg" % (stem, "n" * (LONG_NAME_LENGTH - len(stem) - 4))
    tall.full_size = (1000, 3000)
    video = user.item(2)
    video.kind = "video"
    video.video_url = True
    video.video_query = "?dl=1"
    return user


def _shapes():
    """A wide picture, then a tall one: the full-size view keeps their proportions."""
    user = User("shapes", 2121, 2, seed=2)
    for item in user.items:
        item.kind = "image"
        item.video_url = False
    user.item(2).full_size = (960, 540)
    user.item(1).full_size = (540, 960)
    return user


def _samename():
    """Four pictures whose addresses end in one file name once the query is dropped and the case
    ignored: .../0/pic.jpg, .../1/pic.jpg, .../2/pic.jpg?v=2, .../3/PIC.jpg."""
    user = User("samename", 2222, 4, seed=4)
    for position, item in enumerate(user.items):
        item.kind = "image"
        item.video_url = False
        item.std_path = "/cdn/samename/s/%d/%s.jpg" % (position, "PIC" if position == 3 else "pic")
    user.items[2].std_query = "?v=2"
    return user


def _unqueued():
    """Two pictures whose full-size address is no address at all (no download can be queued for
    them), newest first, then one that saves."""
    user = User("unqueued", 2323, 3, seed=3)
    for item in user.items:
        item.kind = "image"
        item.video_url = False
    for number in (3, 2):
        user.item(number).std_url = lambda site: "no address"
    return user


def make_users():
    users = [
        _alice(),
        User("bob", 2002, 1, seed=1),
        User("big", 3003, 1000, seed=1000),
        User("zero", 4004, 0, seed=0),
        User("private", 5005, 4, seed=4, counts_marker=False),
        User("nocount", 6006, 3, seed=3, media_text="abc"),
        User("lastkey", 6106, 7, seed=7),
        User("flaky", 7007, 25, seed=25, flaky={"profile": 2, "page2": 3}),
        User("halfway", 7107, 25, seed=25, flaky={"page2": 1000}),
        User("badfeed", 8008, 10, seed=10, feed="invalid"),
        User("loop", 9009, 30, seed=30, feed="ignore_max_id"),
        User("refused", 1101, 6, seed=6, thumb_status={5: 403, 3: 403, 2: 500}),
        User("slow", 1202, 5, seed=5, delay=True),
        User("stall", 1303, 3, seed=3, stall=True),
        User("dupthumb", 1404, 4, seed=4, shared_low={3: 4}),
        User("querythumb", 1505, 3, seed=3, low_query=lambda item: "?sig=%s&size=l" % item.number),
        User("zerobyte", 1606, 3, seed=3, empty_thumbs=(2,)),
        User("moved", 1707, 0, seed=0, redirect_to="alice"),
        _fullsize(),
        _oddnames(),
        _shapes(),
        _samename(),
        _unqueued(),
    ]
    return {user.name: user for user in users}


def item_page(item):
    title = html.escape(item.caption or item.code)
    return ("<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>%s</title></head><body>\n"
            "<h1>%s</h1><p>Item %s of %s</p>\n</body></html>\n" % (
                title, title, html.escape(item.id), html.escape(item.user.name))).encode("utf-8")
