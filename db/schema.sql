-- The five tables of an empty SMS.mdb.
CREATE TABLE groups (
    group_id    INTEGER PRIMARY KEY AUTOINCREMENT,
    group_name  TEXT,
    subgroup_of INTEGER
);
CREATE TABLE members (
    member_id   INTEGER PRIMARY KEY AUTOINCREMENT,
    LastName    TEXT,
    FirstName   TEXT,
    Occupation  TEXT,
    mobile_no   TEXT,
    member_of   TEXT
);
CREATE TABLE outbox_messages (
    msg_id         INTEGER PRIMARY KEY AUTOINCREMENT,
    msg_title      TEXT,
    msg_text       TEXT,
    msg_originator TEXT,
    msg_flash      INTEGER,
    msg_phonelist  TEXT,
    msg_date       TEXT,
    msg_time       TEXT,
    msg_schdate    TEXT,
    msg_schtime    TEXT,
    msg_groups     TEXT,
    msg_error      INTEGER
);
CREATE TABLE saved_messages (
    msg_id          INTEGER PRIMARY KEY AUTOINCREMENT,
    msg_title       TEXT,
    msg_text        TEXT,
    msg_originator  TEXT,
    msg_flash       INTEGER,
    msg_datecreated TEXT,
    msg_timecreated TEXT
);
CREATE TABLE sended_messages (
    msg_id         INTEGER PRIMARY KEY AUTOINCREMENT,
    msg_title      TEXT,
    msg_text       TEXT,
    msg_originator TEXT,
    msg_flash      INTEGER,
    msg_phonelist  TEXT,
    msg_date       TEXT,
    msg_time       TEXT,
    msg_schdate    TEXT,
    msg_schtime    TEXT,
    msg_groups     TEXT,
    msg_SID        INTEGER,
    msg_Status     INTEGER
);
