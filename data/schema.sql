-- The note table. Column names are matched without regard to case by the statements.
CREATE TABLE Tips (
    ID INTEGER PRIMARY KEY AUTOINCREMENT,
    content TEXT,
    CreateTime DATETIME,
    ChangeTime DATETIME,
    Deleted INTEGER,
    BackColor INTEGER,
    FontColor INTEGER,
    Visual INTEGER,
    TopMost INTEGER,
    Transparent INTEGER
);
