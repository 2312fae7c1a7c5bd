#!/usr/bin/perl
# Lists a Palm database as Debian's Palm::PDB reads it: one line each for the
# name, type, creator and attributes, then one line per resource (type, id,
# size, data in hex). The tests compare this with what they built.
use strict;
use warnings;
use Palm::PDB;
use Palm::Raw;

# Every type and creator is read as raw resources.
Palm::PDB::RegisterPRCHandlers("Palm::Raw", "");

die "usage: list_pdb.pl FILE\n" unless @ARGV == 1;
my $pdb = Palm::PDB->new;
$pdb->Load($ARGV[0]);
print "name $pdb->{name}\n";
print "type $pdb->{type}\n";
print "creator $pdb->{creator}\n";
printf "resource-database %d\n", $pdb->{attributes}{resource} ? 1 : 0;
printf "version %d\n", $pdb->{version};
for my $r (@{ $pdb->{resources} || [] }) {
  printf "resource %s %d %d %s\n", $r->{type}, $r->{id}, length($r->{data}), unpack("H*", $r->{data});
}
